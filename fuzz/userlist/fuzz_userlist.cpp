// Arbitrary bytes as the user's idiom list: reading and counting must agree, and every
// entry read must satisfy the rules that admitted it.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "dictionary/dictionary.h"

namespace {

bool IsLeftOut(const std::u16string& text) {
  return text.empty() || text == u" " || text == u"\u3000";
}

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_userlist: %s\n", what);
  abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A plain array, so that it still exists when the exit handler removes the file.
  static char path[] = "/tmp/fuzz_userlist_XXXXXX";
  static const bool created = [] {
    const int fd = mkstemp(path);
    if (fd < 0) Fail("cannot create the temporary list file");
    close(fd);
    std::atexit([] { std::remove(path); });
    return true;
  }();
  (void)created;

  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) Fail("cannot open the temporary list file");
  if (size > 0 && std::fwrite(data, 1, size, file) != size) Fail("short write");
  std::fclose(file);

  const std::vector<dictionary::IdiomEntry> entries = dictionary::ReadUserIdioms(path);
  if (dictionary::CountValidUserIdioms(path) != static_cast<int>(entries.size())) {
    Fail("count and entries disagree");
  }
  for (const dictionary::IdiomEntry& entry : entries) {
    if (entry.idiom.size() != 4) Fail("idiom is not four units");
    if (IsLeftOut(entry.meaning) || IsLeftOut(entry.reading)) Fail("blank meaning or reading");
  }

  dictionary::Dictionary dictionary;
  if (dictionary.LoadUserIdioms(path) != static_cast<int>(entries.size())) {
    Fail("dictionary load disagrees");
  }
  if (dictionary.Size() != dictionary::kBuiltinIdiomCount + static_cast<int>(entries.size())) {
    Fail("dictionary size");
  }
  return 0;
}
