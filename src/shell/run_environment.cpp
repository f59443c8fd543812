#include "shell/run_environment.h"

#include <cerrno>
#include <cstdlib>

namespace shell {

std::optional<std::uint64_t> SeedFromEnvironment() {
  return ParseSeed(std::getenv("VELMORANDI_SEED"));
}

std::optional<std::uint64_t> ParseSeed(const char* text) {
  if (text == nullptr || *text < '0' || *text > '9') return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const unsigned long long seed = std::strtoull(text, &end, 10);
  if (*end != '\0' || errno == ERANGE) return std::nullopt;
  return seed;
}

}  // namespace shell
