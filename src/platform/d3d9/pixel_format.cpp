#include "platform/d3d9/pixel_format.h"

namespace vm_d3d9 {

uint32_t FormatBytes(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      return 4;
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_R5G6B5:
      return 2;
    case D3DFMT_P8:
      return 1;
    default:
      return 0;
  }
}

bool IsBackBufferFormat(D3DFORMAT format) {
  return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
}

bool IsDepthFormat(D3DFORMAT format) {
  return format == D3DFMT_D16 || format == D3DFMT_D24S8 || format == D3DFMT_D24X8 ||
         format == D3DFMT_D32 || format == D3DFMT_D16_LOCKABLE || format == D3DFMT_D15S1 ||
         format == D3DFMT_D24X4S4;
}

}  // namespace vm_d3d9
