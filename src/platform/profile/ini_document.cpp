#include "platform/profile/ini_document.h"

#include <algorithm>
#include <limits>

#include "platform/text/text.h"

namespace platform::ini {
namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

Line Line::FromFile(std::string_view bytes, std::string_view kept) {
  DecodedLine decoded = DecodeTextLine(bytes);
  Line line;
  line.text_ = std::move(decoded.utf8);
  if (!kept.empty() || line.text_ != bytes) line.original_ = std::string(kept) + std::string(bytes);
  line.Classify();
  return line;
}

Line Line::FromText(std::string text) {
  Line line;
  line.text_ = std::move(text);
  line.Classify();
  return line;
}

void Line::Classify() {
  // Offsets are kept in 32 bits; a longer line stays an ordinary line.
  if (text_.size() > std::numeric_limits<std::uint32_t>::max()) return;
  const std::string_view all = text_;
  const auto at = [&](std::string_view part) {
    return static_cast<std::uint32_t>(part.data() - all.data());
  };
  const auto length = [](std::string_view part) { return static_cast<std::uint32_t>(part.size()); };
  const std::string_view trimmed = TrimBlanks(all);
  if (trimmed.starts_with('[')) {
    // The name runs to the last "]"; a header without one is not a header.
    const std::size_t close = trimmed.rfind(']');
    if (close != std::string_view::npos) {
      kind_ = LineKind::kSection;
      const std::string_view name = TrimBlanks(trimmed.substr(1, close - 1));
      nameAt_ = name.empty() ? 0 : at(name);
      nameLength_ = length(name);
    }
  } else if (!trimmed.starts_with(';')) {
    const std::size_t equals = trimmed.find('=');
    if (equals != std::string_view::npos) {
      kind_ = LineKind::kKey;
      const std::string_view name = TrimBlanks(trimmed.substr(0, equals));
      const std::string_view value = TrimBlanks(trimmed.substr(equals + 1));
      nameAt_ = name.empty() ? 0 : at(name);
      nameLength_ = length(name);
      valueAt_ = value.empty() ? 0 : at(value);
      valueLength_ = length(value);
    }
  }
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string_view CutUtf8(std::string_view text, std::size_t limit) {
  if (limit == 0) return {};
  std::size_t length = text.size();
  if (length > limit - 1) {
    length = limit - 1;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  }
  return text.substr(0, length);
}

bool IsWritableSectionName(std::string_view name) { return !HasLineBreak(name); }

bool IsWritableKeyName(std::string_view name) {
  const std::string_view trimmed = TrimBlanks(name);
  return !trimmed.empty() && !HasLineBreak(name) && name.find('=') == std::string_view::npos &&
         !trimmed.starts_with('[') && !trimmed.starts_with(';');
}

bool IsWritableValue(std::string_view value) { return !HasLineBreak(value); }

Document Document::Parse(std::string_view bytes) {
  Document document;
  // A byte-order mark stays in the file but is no part of the first line's text.
  std::string_view mark;
  if (bytes.starts_with(kUtf8ByteOrderMark)) {
    mark = bytes.substr(0, kUtf8ByteOrderMark.size());
    bytes.remove_prefix(mark.size());
    if (bytes.empty()) document.lines_.push_back(Line::FromFile("", mark));
  }
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view text = bytes.substr(start, end - start);
    // Every CR before the LF belongs to the line end, so a rewrite (LF only) reads the same.
    while (text.ends_with('\r')) text.remove_suffix(1);
    document.lines_.push_back(Line::FromFile(text, start == 0 ? mark : std::string_view()));
    start = next;
  }
  return document;
}

std::string Document::Serialize() const {
  std::string out;
  for (const Line& line : lines_) {
    out += line.bytes();
    out += '\n';
  }
  return out;
}

std::size_t Document::FindSection(std::string_view section) const {
  section = TrimBlanks(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind() == LineKind::kSection &&
        EqualsIgnoringAsciiCase(lines_[i].name(), section)) {
      return i;
    }
  }
  return kNone;
}

std::size_t Document::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind() != LineKind::kSection) ++i;
  return i;
}

std::size_t Document::FindKey(std::size_t header, std::string_view key) const {
  key = TrimBlanks(key);
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind() == LineKind::kKey && EqualsIgnoringAsciiCase(lines_[i].name(), key)) {
      return i;
    }
  }
  return kNone;
}

std::optional<std::string> Document::Find(std::string_view section, std::string_view key) const {
  const std::size_t header = FindSection(section);
  if (header == kNone) return std::nullopt;
  const std::size_t line = FindKey(header, key);
  if (line == kNone) return std::nullopt;
  return std::string(lines_[line].value());
}

bool Document::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  const std::string keyLine = std::string(key) + "=" + std::string(value);
  const std::size_t header = FindSection(section);
  if (header == kNone) {
    lines_.push_back(Line::FromText("[" + std::string(section) + "]"));
    lines_.push_back(Line::FromText(keyLine));
    return true;
  }
  const std::size_t existing = FindKey(header, key);
  if (existing != kNone) {
    // An equal value leaves the line alone, so a value read from a line that did not decode
    // losslessly goes back as the bytes it came from. Otherwise the key keeps its spelling in
    // the file; only the value is new.
    if (lines_[existing].value() == TrimBlanks(value)) return false;
    lines_[existing] =
        Line::FromText(std::string(lines_[existing].name()) + "=" + std::string(value));
    return true;
  }
  // After the section's last key, so that comments and blank lines that lead into the next
  // section stay with it.
  std::size_t insertAt = header + 1;
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind() == LineKind::kKey) insertAt = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), Line::FromText(keyLine));
  return true;
}

bool Document::RemoveKey(std::string_view section, std::string_view key) {
  const std::size_t header = FindSection(section);
  if (header == kNone) return false;
  // Every copy goes, so that the key reads as absent afterwards.
  bool changed = false;
  for (std::size_t line = FindKey(header, key); line != kNone; line = FindKey(header, key)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line));
    changed = true;
  }
  return changed;
}

bool Document::RemoveSection(std::string_view section) {
  bool changed = false;
  for (std::size_t header = FindSection(section); header != kNone; header = FindSection(section)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
    changed = true;
  }
  return changed;
}

}  // namespace platform::ini
