// Settings files in the Windows INI format ("[Section]" lines and "Key=Value" lines).
//
// Sections and keys match regardless of ASCII case; of two equal keys the first wins. Names
// and values are UTF-8 strings on every system. On Linux this layer reads files by the text
// rule of platform/text.h, writes them as UTF-8, and a write keeps every other line of the
// file (comments, unknown sections, blank lines, key order). On Windows the system reads and
// writes them, in its code page, and a name or value with a character outside it is refused.
// A write is on disk before the call returns.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

using DWORD = std::uint32_t;
using BOOL = int;

// Copies the value (or `defaultValue` when the file, section or key is missing) into
// `buffer`, cut to size - 1 bytes and NUL-ended; returns the number of bytes copied
// without the NUL. A null `section` or `key` is not supported here and copies "".
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName);

// Sets `key` in `section` to `value`, creating the file and the section as needed. A null
// `value` removes the key; a null `key` removes the whole section. Returns 0 on failure
// (missing or read-only folder, ...), in which case the file is unchanged.
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName);

// A write that the file system refused. what() is "<path> に書き込めません", the path as the
// system's users write it.
class IniWriteError : public std::runtime_error {
 public:
  explicit IniWriteError(const std::string& path);
};

// How an IniFile's writes reach the file.
enum class IniWrites {
  kEach,      // every write is on disk before it returns
  kOnCommit,  // writes change what this object reads; Commit() puts them all on disk at once
};

// One settings file. On Linux the file is read and parsed once, at the first read, and every
// read of this object answers from that (on Windows the system keeps it); a fresh object per
// handler sees every earlier write.
// A write (kEach) reads the file anew, changes it and writes it, so nothing another
// writer put there meanwhile is lost.
class IniFile {
 public:
  explicit IniFile(std::string path, IniWrites writes = IniWrites::kEach);
  ~IniFile();
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;
  const std::string& FileName() const { return path_; }

  bool ValueExists(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // Decimal; "0x"/"0X" hexadecimal when the text has three or more characters; anything
  // else (absent, empty, junk, out of range) gives `defaultValue`.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  // Read as an integer with the default 1 or 0; true when non-zero.
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  // Each throws IniWriteError when the write is refused (kOnCommit: when a name or value
  // cannot be written, or the file cannot be).
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);  // "1"/"0"
  // kOnCommit: writes the file once if any write changed it, with every write or none of
  // them; throws IniWriteError when the file system refuses, the file then as it was and
  // nothing left beside it. Writes left uncommitted are dropped.
  void Commit();

 private:
  struct Cache;  // each system's own
  const Cache& Loaded() const;

  std::string path_;
  IniWrites writes_;
  mutable std::unique_ptr<Cache> cache_;
};

// Reads an integer the way IniFile::ReadInteger does, from text already in hand.
int ParseProfileInteger(const std::string& text, int defaultValue);

}  // namespace platform
