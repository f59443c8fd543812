// Slots for saving and restoring render and texture-stage states around foreign drawing.
// The scene owns one; nothing in the saver stores states in it, so every slot stays empty.
#pragma once

#include <array>
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
  IDirect3DDevice9* device_;  // borrowed
  std::array<std::optional<DWORD>, kD3DRenderStateCount> renderStates_;
  std::array<std::array<std::optional<DWORD>, kD3DTextureStageStateCount>, kD3DMaxTextureStages>
      stageStates_;
};

}  // namespace sx
