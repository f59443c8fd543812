#include "platform/profile/ini_document.h"

#include <algorithm>

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

Line ClassifyLine(std::string text) {
  Line line;
  line.text = std::move(text);
  const std::string_view trimmed = TrimBlanks(line.text);
  if (trimmed.starts_with('[')) {
    // The name runs to the last "]"; a header without one is not a header.
    const std::size_t close = trimmed.rfind(']');
    if (close != std::string_view::npos) {
      line.kind = LineKind::kSection;
      line.name = TrimBlanks(trimmed.substr(1, close - 1));
    }
  } else if (!trimmed.starts_with(';')) {
    const std::size_t equals = trimmed.find('=');
    if (equals != std::string_view::npos) {
      line.kind = LineKind::kKey;
      line.name = TrimBlanks(trimmed.substr(0, equals));
      line.value = TrimBlanks(trimmed.substr(equals + 1));
    }
  }
  return line;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool IsWritableSectionName(std::string_view name) { return !HasLineBreak(name); }

bool IsWritableKeyName(std::string_view name) {
  const std::string_view trimmed = TrimBlanks(name);
  return !trimmed.empty() && !HasLineBreak(name) && name.find('=') == std::string_view::npos &&
         !trimmed.starts_with('[') && !trimmed.starts_with(';');
}

bool IsWritableValue(std::string_view value) { return !HasLineBreak(value); }

Document Document::Parse(std::string_view utf8) {
  Document document;
  std::size_t start = 0;
  while (start < utf8.size()) {
    std::size_t end = utf8.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? utf8.size() : end + 1;
    if (end == std::string_view::npos) end = utf8.size();
    std::string_view text = utf8.substr(start, end - start);
    // Every CR before the LF belongs to the line end, so a rewrite (LF only) reads the same.
    while (text.ends_with('\r')) text.remove_suffix(1);
    document.lines_.push_back(ClassifyLine(std::string(text)));
    start = next;
  }
  return document;
}

std::string Document::Serialize() const {
  std::string out;
  for (const Line& line : lines_) {
    out += line.text;
    out += '\n';
  }
  return out;
}

std::size_t Document::FindSection(std::string_view section) const {
  section = TrimBlanks(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == LineKind::kSection && EqualsIgnoringAsciiCase(lines_[i].name, section)) {
      return i;
    }
  }
  return kNone;
}

std::size_t Document::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != LineKind::kSection) ++i;
  return i;
}

std::size_t Document::FindKey(std::size_t header, std::string_view key) const {
  key = TrimBlanks(key);
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == LineKind::kKey && EqualsIgnoringAsciiCase(lines_[i].name, key)) {
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
  return lines_[line].value;
}

bool Document::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  const std::string keyLine = std::string(key) + "=" + std::string(value);
  const std::size_t header = FindSection(section);
  if (header == kNone) {
    lines_.push_back(ClassifyLine("[" + std::string(section) + "]"));
    lines_.push_back(ClassifyLine(keyLine));
    return true;
  }
  const std::size_t existing = FindKey(header, key);
  if (existing != kNone) {
    // The key keeps its spelling in the file; only the value is new.
    Line replaced = ClassifyLine(lines_[existing].name + "=" + std::string(value));
    if (replaced.text == lines_[existing].text) return false;
    lines_[existing] = std::move(replaced);
    return true;
  }
  // After the section's last key, so that comments and blank lines that lead into the next
  // section stay with it.
  std::size_t insertAt = header + 1;
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == LineKind::kKey) insertAt = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), ClassifyLine(keyLine));
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
