// The vertex a caller hands the scene: an offset from the quad's screen position, a
// diffuse colour and a texture coordinate.
#pragma once

#include <cstdint>

namespace sx {

struct TSXVertex {
  float x;               // pixels right of the quad's position
  float y;               // pixels below the quad's position
  std::uint32_t colour;  // ARGB, alpha in the top byte
  float u;
  float v;
};

inline TSXVertex MakeVertex(float x, float y, std::uint32_t colour, float u, float v) {
  return TSXVertex{x, y, colour, u, v};
}

}  // namespace sx
