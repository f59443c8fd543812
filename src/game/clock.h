// The game's time: timeGetTime-like milliseconds, an unsigned 32-bit count that wraps
// after about 49.7 days.
#pragma once

#include <cstdint>

namespace game {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint32_t Now() = 0;
  virtual void Sleep(std::uint32_t ms) = 0;
};

// Time that moves only when told to; Sleep advances it at once.
class TestClock final : public Clock {
 public:
  explicit TestClock(std::uint32_t start = 0) : now_(start) {}
  std::uint32_t Now() override { return now_; }
  void Sleep(std::uint32_t ms) override { now_ += ms; }
  void Set(std::uint32_t now) { now_ = now; }

 private:
  std::uint32_t now_;
};

// True when `now` is at or after `deadline`. The difference is taken modulo 2^32 and read
// as signed, so the answer stays right across the wrap as long as the two times lie less
// than 2^31 ms (about 24.8 days) apart.
inline bool TimeReached(std::uint32_t now, std::uint32_t deadline) {
  return static_cast<std::int32_t>(now - deadline) >= 0;
}

}  // namespace game
