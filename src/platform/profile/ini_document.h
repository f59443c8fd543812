// The lines of one INI file as this layer edits them. Every line keeps its bytes, so a write
// changes only the lines it must and the rest of the file comes back byte for byte (line
// ends aside: every line is written back with LF), whatever encoding each line was in.
#pragma once

#include <cstdint>
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

class Line {
 public:
  // `bytes` as in the file, without its line end; decoded by the text file rule. `kept`
  // goes back into the file before the line but is no part of its text (a byte-order mark).
  static Line FromFile(std::string_view bytes, std::string_view kept = {});
  // A line this layer writes, UTF-8.
  static Line FromText(std::string text);

  const std::string& text() const { return text_; }  // UTF-8
  LineKind kind() const { return kind_; }
  // Section or key name and key value, blanks around them removed.
  std::string_view name() const { return std::string_view(text_).substr(nameAt_, nameLength_); }
  std::string_view value() const { return std::string_view(text_).substr(valueAt_, valueLength_); }
  // What a write puts in the file for this line.
  std::string_view bytes() const { return original_.empty() ? text_ : original_; }

 private:
  void Classify();

  std::string text_;
  std::string original_;  // the file's bytes when they differ from text_, else empty
  LineKind kind_ = LineKind::kOther;
  std::uint32_t nameAt_ = 0, nameLength_ = 0, valueAt_ = 0, valueLength_ = 0;
};

// Removes spaces and tabs at both ends, the blanks INI readers ignore around names and values.
std::string_view TrimBlanks(std::string_view text);

// At most limit - 1 bytes of `text`, never ending inside a UTF-8 character: what a buffer of
// `limit` bytes holds with its NUL.
std::string_view CutUtf8(std::string_view text, std::size_t limit);

// IniFile reads values cut to fewer bytes than this.
inline constexpr std::size_t kValueLimit = 2048;

// True when `name` can be written as a section or key without changing how the file reads
// (no line breaks; a key also no "=", no leading "[" or ";" and not empty).
bool IsWritableSectionName(std::string_view name);
bool IsWritableKeyName(std::string_view name);
bool IsWritableValue(std::string_view value);

class Document {
 public:
  // `bytes` is the file; lines end in LF or CR LF, the last line may lack its end.
  static Document Parse(std::string_view bytes);
  // Every line's bytes followed by LF.
  std::string Serialize() const;

  // The value of the first `key` in the first `section`, names compared regardless of
  // ASCII case; nothing when either is absent.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // Each returns whether the document changed. Setting the value a key already has leaves
  // its line as it was in the file.
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
