// The game's source of random choices: random(n), a uniform integer in 0 .. n - 1.
#pragma once

#include <cstdint>

namespace game {

class Random {
 public:
  virtual ~Random() = default;
  // Uniform in 0 .. n - 1; n must be at least 1 (std::invalid_argument otherwise).
  virtual int Next(int n) = 0;
};

// PCG32 (XSH-RR output over a 64-bit LCG) with an unbiased range reduction, so that one
// seed gives the same sequence on every platform and compiler.
class SeededRandom final : public Random {
 public:
  explicit SeededRandom(std::uint64_t seed);
  int Next(int n) override;
  std::uint32_t NextU32();

 private:
  std::uint64_t state_ = 0;
  static constexpr std::uint64_t kIncrement = 1442695040888963407ULL;  // any odd constant
};

}  // namespace game
