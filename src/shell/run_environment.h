// What the environment asks of a run, read alike on both systems.
#pragma once

#include <cstdint>
#include <optional>

namespace shell {

// VELMORANDI_SEED, a decimal number: the saver's random numbers start from it instead of
// the clock, so that tests and benchmarks see the same game every run. Anything else
// (unset, empty, not a number) leaves the clock to seed them.
std::optional<std::uint64_t> SeedFromEnvironment();
// The seed a value of that variable names (null: unset).
std::optional<std::uint64_t> ParseSeed(const char* text);

}  // namespace shell
