// The system's own settings-file calls, with UTF-8 names and values: the file is read and
// written by the system, in its code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::ini {

// The value of `key`, quotes and blanks removed by the system; none when the file, the
// section or the key is absent, or when a name is one the code page cannot hold.
std::optional<std::string> SystemRead(const std::string& path, std::string_view section,
                                      std::string_view key);

// True when the names and the value can go into the file as they are: no line break, nothing
// the file would read differently, every character in the code page. A null `key` or
// `value` is not checked.
bool SystemCanWrite(const char* section, const char* key, const char* value);

// False when the write could not be made as asked: a name or value the file cannot hold as it
// is (a line break, a character outside the code page, ...) or the system refused it. A null
// `value` removes the key, a null `key` the section.
bool SystemWrite(const std::string& path, const char* section, const char* key, const char* value);

struct SystemWriteRequest {
  std::string section, key, value;
};

// The writes in their order, all or none: they go into a copy of the file beside it, which
// then replaces the file in one rename. False, with the file as it was and no copy left,
// when a name or value cannot be written, the file is not writable, or the system refuses
// any step.
bool SystemWriteAll(const std::string& path, const std::vector<SystemWriteRequest>& writes);

}  // namespace platform::ini
