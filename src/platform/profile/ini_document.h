// The lines of one INI file as this layer edits them. Every line keeps its bytes, so a write
// changes only the lines it must and the rest of the file comes back byte for byte (line
// ends aside: every line is written back with LF), whatever encoding each line was in.
//
// The document is the file's own bytes, the line ends made LF where they were read, plus
// the place of each section header and of each key line in a section: a few bytes per such
// line, none for blank lines and comments. A file of many tiny lines thus costs about twice
// its size, not the tens of bytes per line a line object would. Lines are decoded (the text
// file rule) when they are looked at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::ini {

// Removes spaces and tabs at both ends, the blanks INI readers ignore around names and values.
std::string_view TrimBlanks(std::string_view text);

// At most limit - 1 bytes of `text`, never ending inside a UTF-8 character: what a buffer of
// `limit` bytes holds with its NUL.
std::string_view CutUtf8(std::string_view text, std::size_t limit);

// IniFile reads values cut to fewer bytes than this.
inline constexpr std::size_t kValueLimit = 2048;

// The largest file a document holds: its places are 32-bit.
inline constexpr std::size_t kMaxDocumentBytes = 0xFFFFFFF0u;

// True when `name` can be written as a section or key without changing how the file reads
// (no line breaks; a key also no "=", no leading "[" or ";" and not empty).
bool IsWritableSectionName(std::string_view name);
bool IsWritableKeyName(std::string_view name);
bool IsWritableValue(std::string_view value);

class Document {
 public:
  // `bytes` is the file (at most kMaxDocumentBytes); lines end in LF or CR LF, the last line
  // may lack its end. The document keeps the buffer.
  static Document Parse(std::string bytes);
  // Every line's bytes followed by LF.
  const std::string& Serialize() const { return bytes_; }

  // The value of the first `key` in the first `section`, names compared regardless of
  // ASCII case; nothing when either is absent.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // Each returns whether the document changed. Setting the value a key already has leaves
  // its line as it was in the file.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  bool RemoveKey(std::string_view section, std::string_view key);
  bool RemoveSection(std::string_view section);

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  struct Section {
    std::uint32_t header;    // where its header line starts
    std::uint32_t firstKey;  // index of its first key line in keys_
  };

  // Notes the line starting at `start` when it is a section header or a key in a section.
  void Index(std::size_t start, std::string_view line);
  std::string_view LineAt(std::size_t start) const;   // without its LF
  std::size_t SectionEnd(std::size_t section) const;  // where the next header starts
  std::size_t KeysEnd(std::size_t section) const;     // index in keys_ after its last key
  std::size_t FindSection(std::string_view section) const;
  std::size_t FindKey(std::size_t section, std::string_view key) const;  // index in keys_
  // Replaces `length` bytes at `at` by `text` and moves the places of the lines after them.
  void Splice(std::size_t at, std::size_t length, std::string_view text);

  std::string bytes_;
  std::size_t bomLength_ = 0;  // a byte-order mark before the first line, no part of its text
  std::vector<Section> sections_;
  std::vector<std::uint32_t> keys_;  // key lines after the first header, in file order
};

}  // namespace platform::ini
