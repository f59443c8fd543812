#include "platform/profile/ini_document.h"

#include <algorithm>
#include <utility>

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

enum class LineKind {
  kOther,    // blank, comment (";"), or anything that is neither of the two below
  kSection,  // "[name]"
  kKey,      // "name=value"
};

// One line's text by the text file rule (its bytes themselves when they are UTF-8), and
// what it is: the section or key name and the key's value, blanks around them removed.
class ParsedLine {
 public:
  explicit ParsedLine(std::string_view bytes) {
    if (!IsValidUtf8(bytes)) decoded_ = DecodeTextLine(bytes).utf8;
    const std::string_view text = decoded_ ? std::string_view(*decoded_) : bytes;
    const std::string_view trimmed = TrimBlanks(text);
    if (trimmed.starts_with('[')) {
      // The name runs to the last "]"; a header without one is not a header.
      const std::size_t close = trimmed.rfind(']');
      if (close != std::string_view::npos) {
        kind = LineKind::kSection;
        name = TrimBlanks(trimmed.substr(1, close - 1));
      }
    } else if (!trimmed.starts_with(';')) {
      const std::size_t equals = trimmed.find('=');
      if (equals != std::string_view::npos) {
        kind = LineKind::kKey;
        name = TrimBlanks(trimmed.substr(0, equals));
        value = TrimBlanks(trimmed.substr(equals + 1));
      }
    }
  }
  // The views point into the object.
  ParsedLine(const ParsedLine&) = delete;
  ParsedLine& operator=(const ParsedLine&) = delete;

  LineKind kind = LineKind::kOther;
  std::string_view name;
  std::string_view value;

 private:
  std::optional<std::string> decoded_;
};

}  // namespace

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

Document Document::Parse(std::string bytes) {
  Document document;
  std::string& b = document.bytes_;
  b = std::move(bytes);
  if (std::string_view(b).starts_with(kUtf8ByteOrderMark)) {
    document.bomLength_ = kUtf8ByteOrderMark.size();
  }
  // The lines move down over the CRs of their ends, each followed by one LF; a mark alone is
  // one empty line.
  std::size_t read = document.bomLength_;
  std::size_t write = read;
  bool lastLineOpen = document.bomLength_ > 0 && read == b.size();
  while (read < b.size()) {
    const std::size_t lf = b.find('\n', read);
    std::size_t end = lf == std::string::npos ? b.size() : lf;
    // Every CR before the LF belongs to the line end, so a rewrite (LF only) reads the same.
    while (end > read && b[end - 1] == '\r') --end;
    const std::size_t start = write;
    std::copy(b.begin() + static_cast<std::ptrdiff_t>(read),
              b.begin() + static_cast<std::ptrdiff_t>(end),
              b.begin() + static_cast<std::ptrdiff_t>(write));
    write += end - read;
    document.Index(start, std::string_view(b).substr(start, write - start));
    if (lf == std::string::npos) {
      lastLineOpen = true;
      break;
    }
    b[write++] = '\n';
    read = lf + 1;
  }
  b.resize(write);
  if (lastLineOpen) b.push_back('\n');
  return document;
}

void Document::Index(std::size_t start, std::string_view line) {
  const ParsedLine parsed(line);
  if (parsed.kind == LineKind::kSection) {
    sections_.push_back(
        {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(keys_.size())});
  } else if (parsed.kind == LineKind::kKey && !sections_.empty()) {
    keys_.push_back(static_cast<std::uint32_t>(start));
  }
}

std::string_view Document::LineAt(std::size_t start) const {
  return std::string_view(bytes_).substr(start, bytes_.find('\n', start) - start);
}

std::size_t Document::SectionEnd(std::size_t section) const {
  return section + 1 < sections_.size() ? sections_[section + 1].header : bytes_.size();
}

std::size_t Document::KeysEnd(std::size_t section) const {
  return section + 1 < sections_.size() ? sections_[section + 1].firstKey : keys_.size();
}

std::size_t Document::FindSection(std::string_view section) const {
  section = TrimBlanks(section);
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (EqualsIgnoringAsciiCase(ParsedLine(LineAt(sections_[i].header)).name, section)) return i;
  }
  return kNone;
}

std::size_t Document::FindKey(std::size_t section, std::string_view key) const {
  key = TrimBlanks(key);
  for (std::size_t k = sections_[section].firstKey; k < KeysEnd(section); ++k) {
    if (EqualsIgnoringAsciiCase(ParsedLine(LineAt(keys_[k])).name, key)) return k;
  }
  return kNone;
}

void Document::Splice(std::size_t at, std::size_t length, std::string_view text) {
  bytes_.replace(at, length, text);
  // Lines from the end of the replaced bytes on move; a line that starts inside them is the
  // one replaced, and keeps its place.
  const auto move = [&](std::uint32_t& place) {
    if (place >= at + length) place = static_cast<std::uint32_t>(place - length + text.size());
  };
  for (std::uint32_t& place : keys_) move(place);
  for (Section& section : sections_) move(section.header);
}

std::optional<std::string> Document::Find(std::string_view section, std::string_view key) const {
  const std::size_t header = FindSection(section);
  if (header == kNone) return std::nullopt;
  const std::size_t line = FindKey(header, key);
  if (line == kNone) return std::nullopt;
  return std::string(ParsedLine(LineAt(keys_[line])).value);
}

bool Document::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  const std::string keyLine = std::string(key) + "=" + std::string(value);
  const std::size_t header = FindSection(section);
  if (header == kNone) {
    const std::size_t at = bytes_.size();
    bytes_ += "[" + std::string(section) + "]\n" + keyLine + "\n";
    sections_.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(keys_.size())});
    keys_.push_back(static_cast<std::uint32_t>(at + section.size() + 3));
    return true;
  }
  const std::size_t existing = FindKey(header, key);
  if (existing != kNone) {
    // An equal value leaves the line alone, so a value read from a line that did not decode
    // losslessly goes back as the bytes it came from. Otherwise the key keeps its spelling in
    // the file; only the value is new.
    const std::string_view line = LineAt(keys_[existing]);
    const ParsedLine parsed(line);
    if (parsed.value == TrimBlanks(value)) return false;
    Splice(keys_[existing], line.size(), std::string(parsed.name) + "=" + std::string(value));
    return true;
  }
  // After the section's last key, so that comments and blank lines that lead into the next
  // section stay with it.
  const std::size_t end = KeysEnd(header);
  const std::size_t before =
      end > sections_[header].firstKey ? keys_[end - 1] : sections_[header].header;
  const std::size_t at = before + LineAt(before).size() + 1;
  Splice(at, 0, keyLine + "\n");
  keys_.insert(keys_.begin() + static_cast<std::ptrdiff_t>(end), static_cast<std::uint32_t>(at));
  for (std::size_t s = header + 1; s < sections_.size(); ++s) ++sections_[s].firstKey;
  return true;
}

bool Document::RemoveKey(std::string_view section, std::string_view key) {
  const std::size_t header = FindSection(section);
  if (header == kNone) return false;
  // Every copy goes, so that the key reads as absent afterwards.
  bool changed = false;
  for (std::size_t line = FindKey(header, key); line != kNone; line = FindKey(header, key)) {
    const std::size_t at = keys_[line];
    const std::size_t length = LineAt(at).size() + 1;
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(line));
    for (std::size_t s = header + 1; s < sections_.size(); ++s) --sections_[s].firstKey;
    Splice(at, length, {});
    changed = true;
  }
  return changed;
}

bool Document::RemoveSection(std::string_view section) {
  bool changed = false;
  for (std::size_t header = FindSection(section); header != kNone; header = FindSection(section)) {
    std::size_t at = sections_[header].header;
    std::size_t length = SectionEnd(header) - at;
    // The first line takes its byte-order mark with it.
    if (at == bomLength_) {
      at = 0;
      length += std::exchange(bomLength_, 0);
    }
    const std::size_t firstKey = sections_[header].firstKey;
    const std::size_t keyCount = KeysEnd(header) - firstKey;
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(firstKey),
                keys_.begin() + static_cast<std::ptrdiff_t>(firstKey + keyCount));
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(header));
    for (std::size_t s = header; s < sections_.size(); ++s) {
      sections_[s].firstKey = static_cast<std::uint32_t>(sections_[s].firstKey - keyCount);
    }
    Splice(at, length, {});
    changed = true;
  }
  return changed;
}

}  // namespace platform::ini
