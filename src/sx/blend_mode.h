// One entry of the scene's blend-mode table: the render states a quad's mode index
// stands for.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9/d3d9.h"

namespace sx {

struct TSXBlendMode {
  // Quads in this mode are drawn in the translucent pass, far to near.
  bool sorted;
  // Written to D3DRS_ALPHATESTENABLE when non-zero; 0 leaves alpha testing as it is.
  std::uint8_t alphaTest;
  D3DCMPFUNC alphaFunc;
  bool blendEnable;
  D3DBLEND srcBlend;
  D3DBLEND destBlend;
  D3DBLENDOP blendOp;
};

// Indexes of the modes every scene starts with.
enum TSXBlendModeIndex : std::int32_t {
  sxbmOpaque = 0,
  sxbmAdditive = 1,
  sxbmAlphaBlend = 2,
  sxbmDarken = 3,
  sxbmMultiply = 4,
  sxbmCutOut = 5,
};

// The six modes above, in index order.
std::vector<TSXBlendMode> DefaultBlendModes();

}  // namespace sx
