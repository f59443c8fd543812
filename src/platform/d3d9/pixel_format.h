// Pixel formats the software device stores: sizes and conversion of a stored pixel to
// 32-bit A8R8G8B8 for sampling.
#pragma once

#include <cstdint>

#include "platform/d3d9/d3d9types.h"

namespace vm_d3d9 {

// Bytes per pixel of a texture or back-buffer format the device can store, 0 otherwise.
uint32_t FormatBytes(D3DFORMAT format);
bool IsBackBufferFormat(D3DFORMAT format);
bool IsDepthFormat(D3DFORMAT format);

// A 5- or 6-bit channel widened to 8 bits by repeating its top bits, as texture units do.
inline uint32_t Widen5(uint32_t v) { return (v << 3) | (v >> 2); }
inline uint32_t Widen6(uint32_t v) { return (v << 2) | (v >> 4); }

// The A8R8G8B8 value of one stored pixel (formats without alpha read as opaque).
inline uint32_t DecodeTexel(const uint8_t* p, D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
      return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
             (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    case D3DFMT_X8R8G8B8:
      return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
             (static_cast<uint32_t>(p[2]) << 16) | 0xFF000000u;
    case D3DFMT_A4R4G4B4: {
      const uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
      return (((v >> 12) & 15) * 17) << 24 | (((v >> 8) & 15) * 17) << 16 |
             (((v >> 4) & 15) * 17) << 8 | ((v & 15) * 17);
    }
    case D3DFMT_A1R5G5B5:
    case D3DFMT_X1R5G5B5: {
      const uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
      const uint32_t a = (format == D3DFMT_X1R5G5B5 || (v & 0x8000)) ? 255u : 0u;
      return a << 24 | Widen5((v >> 10) & 31) << 16 | Widen5((v >> 5) & 31) << 8 | Widen5(v & 31);
    }
    case D3DFMT_R5G6B5: {
      const uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
      return 0xFF000000u | Widen5((v >> 11) & 31) << 16 | Widen6((v >> 5) & 63) << 8 |
             Widen5(v & 31);
    }
    default:
      return 0xFF000000u;
  }
}

}  // namespace vm_d3d9
