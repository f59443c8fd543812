// Slots for saving and restoring render and texture-stage states around foreign drawing.
// The scene owns one; nothing in the saver stores states in it, so every slot stays empty.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/d3d9/d3d9.h"

namespace sx {

class TSXStateRestorer {
 public:
  explicit TSXStateRestorer(IDirect3DDevice9* device);

  bool Empty() const;
  IDirect3DDevice9* Device() const { return device_; }

 private:
  // A slot for every render state and texture-stage state of Direct3D 9, and its eight stages.
  static constexpr std::size_t kRenderStates = D3DRS_BLENDOPALPHA + 1;
  static constexpr std::size_t kStageStates = D3DTSS_CONSTANT + 1;
  static constexpr std::size_t kStages = 8;

  IDirect3DDevice9* device_;  // borrowed
  std::array<std::optional<DWORD>, kRenderStates> renderStates_;
  std::array<std::array<std::optional<DWORD>, kStageStates>, kStages> stageStates_;
};

}  // namespace sx
