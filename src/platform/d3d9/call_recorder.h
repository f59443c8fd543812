// A per-device log of device calls, for tests that check which state calls a caller made.
// Off by default; while off, recording a call costs one branch.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

struct D3DCall {
  // A static string: the method name without its interface ("SetRenderState").
  const char* method = "";
  // Arguments in declaration order: enumerations and integers as they are, floats as
  // their bit pattern, objects as their address (0 for NULL).
  std::array<uint64_t, 6> args{};
  uint8_t argCount = 0;

  // "SetRenderState(D3DRS_ALPHABLENDENABLE, 1)": state and format arguments by name.
  std::string Text() const;
  bool Is(std::string_view name) const { return name == method; }
};

class CallRecorder {
 public:
  enum class Mode { Off, On };

  void SetMode(Mode mode) { mode_ = mode; }
  Mode GetMode() const { return mode_; }
  void Start() { mode_ = Mode::On; }
  void Stop() { mode_ = Mode::Off; }
  void Clear() { calls_.clear(); }

  const std::vector<D3DCall>& Calls() const { return calls_; }
  // Number of recorded calls of one method.
  size_t Count(std::string_view method) const;
  // Text() of every recorded call, optionally only those of one method.
  std::vector<std::string> Lines(std::string_view method = {}) const;

  void Record(const char* method, std::initializer_list<uint64_t> args) {
    if (mode_ == Mode::On) Append(method, args);
  }

 private:
  void Append(const char* method, std::initializer_list<uint64_t> args);

  Mode mode_ = Mode::Off;
  std::vector<D3DCall> calls_;
};

// Names of enumeration values as Direct3D spells them ("D3DRS_ZENABLE"), or the decimal
// value when the device does not know the name.
std::string D3DRenderStateName(uint32_t state);
std::string D3DTextureStageStateName(uint32_t state);
std::string D3DSamplerStateName(uint32_t state);
std::string D3DFormatCodeName(uint32_t format);

namespace vm_d3d9 {

// Arguments as the recorder holds them: a float as its bit pattern, an object as its
// address.
inline uint64_t Bits(float f) { return std::bit_cast<uint32_t>(f); }
inline uint64_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

}  // namespace vm_d3d9
