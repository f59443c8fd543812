#include "game/random.h"

#include <stdexcept>

namespace game {

SeededRandom::SeededRandom(std::uint64_t seed) {
  // The reference seeding of PCG32: advance once, add the seed, advance again.
  NextU32();
  state_ += seed;
  NextU32();
}

std::uint32_t SeededRandom::NextU32() {
  const std::uint64_t old = state_;
  state_ = old * 6364136223846793005ULL + kIncrement;
  const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
  const auto rot = static_cast<std::uint32_t>(old >> 59u);
  return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

int SeededRandom::Next(int n) {
  if (n < 1) throw std::invalid_argument("random(n) needs n >= 1");
  const auto bound = static_cast<std::uint32_t>(n);
  // 2^32 mod bound values at the bottom of the range would make small results more
  // likely; rejecting them leaves a multiple of bound equally likely outcomes.
  const std::uint32_t threshold = (0u - bound) % bound;
  for (;;) {
    const std::uint32_t r = NextU32();
    if (r >= threshold) return static_cast<int>(r % bound);
  }
}

}  // namespace game
