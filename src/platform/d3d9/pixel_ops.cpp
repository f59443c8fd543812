#include "platform/d3d9/pixel_ops.h"

#include <algorithm>

namespace vm_d3d9 {
namespace {

uint32_t StageArgument(uint32_t arg, uint32_t diffuse, uint32_t texel, uint32_t factor) {
  uint32_t value;
  switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE:
    case D3DTA_CURRENT:  // stage 0: the current colour is the diffuse colour
      value = diffuse;
      break;
    case D3DTA_TEXTURE:
      value = texel;
      break;
    case D3DTA_TFACTOR:
      value = factor;
      break;
    default:  // specular, temporary and constant registers hold nothing here
      value = 0;
      break;
  }
  if (arg & D3DTA_COMPLEMENT) value = ~value;
  if (arg & D3DTA_ALPHAREPLICATE) value = (value >> 24) * 0x01010101u;
  return value;
}

uint32_t ApplyOp(uint32_t op, uint32_t a, uint32_t b) {
  switch (op) {
    case D3DTOP_SELECTARG1:
      return a;
    case D3DTOP_SELECTARG2:
      return b;
    case D3DTOP_MODULATE:
      return MulDiv255(a, b);
    case D3DTOP_MODULATE2X:
      return std::min(255u, 2 * MulDiv255(a, b));
    case D3DTOP_MODULATE4X:
      return std::min(255u, 4 * MulDiv255(a, b));
    case D3DTOP_ADD:
      return std::min(255u, a + b);
    case D3DTOP_ADDSIGNED:
      return static_cast<uint32_t>(std::clamp(static_cast<int>(a + b) - 128, 0, 255));
    case D3DTOP_ADDSIGNED2X:
      return static_cast<uint32_t>(std::clamp(2 * (static_cast<int>(a + b) - 128), 0, 255));
    case D3DTOP_SUBTRACT:
      return a > b ? a - b : 0;
    case D3DTOP_ADDSMOOTH:
      return std::min(255u, a + b - MulDiv255(a, b));
    default:
      return a;
  }
}

uint32_t BlendFactor(uint32_t mode, uint32_t src, uint32_t dst, uint32_t constant, int c) {
  const uint32_t sa = src >> 24, da = dst >> 24;
  switch (mode) {
    case D3DBLEND_ZERO:
      return 0;
    case D3DBLEND_ONE:
      return 255;
    case D3DBLEND_SRCCOLOR:
      return Channel(src, c);
    case D3DBLEND_INVSRCCOLOR:
      return 255 - Channel(src, c);
    case D3DBLEND_SRCALPHA:
      return sa;
    case D3DBLEND_INVSRCALPHA:
      return 255 - sa;
    case D3DBLEND_DESTALPHA:
      return da;
    case D3DBLEND_INVDESTALPHA:
      return 255 - da;
    case D3DBLEND_DESTCOLOR:
      return Channel(dst, c);
    case D3DBLEND_INVDESTCOLOR:
      return 255 - Channel(dst, c);
    case D3DBLEND_SRCALPHASAT:
      return c == 3 ? 255 : std::min(sa, 255 - da);
    case D3DBLEND_BLENDFACTOR:
      return Channel(constant, c);
    case D3DBLEND_INVBLENDFACTOR:
      return 255 - Channel(constant, c);
    default:
      return 255;
  }
}

}  // namespace

uint32_t CombineStage(const RasterState& state, uint32_t diffuse, uint32_t texel) {
  if (state.colorOp == D3DTOP_DISABLE) return diffuse;
  const uint32_t c1 = StageArgument(state.colorArg1, diffuse, texel, state.textureFactor);
  const uint32_t c2 = StageArgument(state.colorArg2, diffuse, texel, state.textureFactor);
  uint32_t result = 0;
  for (int c = 0; c < 3; ++c) {
    result |= ApplyOp(state.colorOp, Channel(c1, c), Channel(c2, c)) << (8 * c);
  }
  uint32_t alpha;
  if (state.alphaOp == D3DTOP_DISABLE) {
    alpha = diffuse >> 24;
  } else {
    const uint32_t a1 = StageArgument(state.alphaArg1, diffuse, texel, state.textureFactor);
    const uint32_t a2 = StageArgument(state.alphaArg2, diffuse, texel, state.textureFactor);
    alpha = ApplyOp(state.alphaOp, a1 >> 24, a2 >> 24);
  }
  return result | alpha << 24;
}

uint32_t BlendPixel(const RasterState& state, uint32_t src, uint32_t dst) {
  uint32_t srcMode = state.srcBlend, destMode = state.destBlend;
  if (srcMode == D3DBLEND_BOTHSRCALPHA) {
    srcMode = D3DBLEND_SRCALPHA;
    destMode = D3DBLEND_INVSRCALPHA;
  } else if (srcMode == D3DBLEND_BOTHINVSRCALPHA) {
    srcMode = D3DBLEND_INVSRCALPHA;
    destMode = D3DBLEND_SRCALPHA;
  }
  if (state.target.format == D3DFMT_X8R8G8B8) dst |= 0xFF000000u;
  uint32_t result = 0;
  for (int c = 0; c < 4; ++c) {
    const uint32_t s = Channel(src, c), d = Channel(dst, c);
    uint32_t out;
    switch (state.blendOp) {
      case D3DBLENDOP_MIN:
        out = std::min(s, d);
        break;
      case D3DBLENDOP_MAX:
        out = std::max(s, d);
        break;
      default: {
        // The weighted terms are combined exactly and rounded once.
        const uint32_t ws = s * BlendFactor(srcMode, src, dst, state.blendFactor, c);
        const uint32_t wd = d * BlendFactor(destMode, src, dst, state.blendFactor, c);
        if (state.blendOp == D3DBLENDOP_SUBTRACT) {
          out = ws > wd ? Div255(ws - wd) : 0;
        } else if (state.blendOp == D3DBLENDOP_REVSUBTRACT) {
          out = wd > ws ? Div255(wd - ws) : 0;
        } else {
          out = Div255(std::min(ws + wd, 255u * 255u));
        }
        break;
      }
    }
    result |= out << (8 * c);
  }
  return result;
}

}  // namespace vm_d3d9
