// The lines of one INI file as this layer edits them. Every line keeps its text, so a write
// changes only the lines it must and the rest of the file comes back byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::ini {

enum class LineKind {
  kOther,    // blank, comment (";"), or anything that is neither of the two below
  kSection,  // "[name]"
  kKey,      // "name=value"
};

struct Line {
  std::string text;  // as in the file, without its line end
  LineKind kind = LineKind::kOther;
  std::string name;   // section or key name, blanks around it removed
  std::string value;  // key value, blanks around it removed
};

// Removes spaces and tabs at both ends, the blanks INI readers ignore around names and values.
std::string_view TrimBlanks(std::string_view text);

// True when `name` can be written as a section or key without changing how the file reads
// (no line breaks; a key also no "=", no leading "[" or ";" and not empty).
bool IsWritableSectionName(std::string_view name);
bool IsWritableKeyName(std::string_view name);
bool IsWritableValue(std::string_view value);

class Document {
 public:
  // `utf8` is the decoded file; lines end in LF or CR LF, the last line may lack its end.
  static Document Parse(std::string_view utf8);
  // Every line followed by LF.
  std::string Serialize() const;

  // The value of the first `key` in the first `section`, names compared regardless of
  // ASCII case; nothing when either is absent.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // Each returns whether the document changed.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  bool RemoveKey(std::string_view section, std::string_view key);
  bool RemoveSection(std::string_view section);

  const std::vector<Line>& lines() const { return lines_; }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t FindSection(std::string_view section) const;
  std::size_t SectionEnd(std::size_t header) const;  // index after its last line
  std::size_t FindKey(std::size_t header, std::string_view key) const;

  std::vector<Line> lines_;
};

}  // namespace platform::ini
