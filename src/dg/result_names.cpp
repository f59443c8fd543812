#include "dg/result_names.h"

#include <cstdio>

namespace dg {
namespace {

struct Named {
  std::uint32_t code;
  const char* name;
};

constexpr Named kResults[] = {
    {0x00000000, "D3D_OK"},
    {0x8876017C, "D3DERR_OUTOFVIDEOMEMORY"},
    {0x88760818, "D3DERR_WRONGTEXTUREFORMAT"},
    {0x88760819, "D3DERR_UNSUPPORTEDCOLOROPERATION "},
    {0x8876081A, "D3DERR_UNSUPPORTEDCOLORARG "},
    {0x8876081B, "D3DERR_UNSUPPORTEDALPHAOPERATION "},
    {0x8876081C, "D3DERR_UNSUPPORTEDALPHAARG "},
    {0x8876081D, "D3DERR_TOOMANYOPERATIONS "},
    {0x8876081E, "D3DERR_CONFLICTINGTEXTUREFILTER"},
    {0x8876081F, "D3DERR_UNSUPPORTEDFACTORVALUE"},
    {0x88760821, "D3DERR_CONFLICTINGRENDERSTATE"},
    {0x88760822, "D3DERR_UNSUPPORTEDTEXTUREFILTER"},
    {0x88760826, "D3DERR_CONFLICTINGTEXTUREPALETTE "},
    {0x88760827, "D3DERR_DRIVERINTERNALERROR "},
    {0x88760866, "D3DERR_NOTFOUND"},
    {0x88760867, "D3DERR_MOREDATA"},
    {0x88760868, "D3DERR_DEVICELOST"},
    {0x88760869, "D3DERR_DEVICENOTRESET"},
    {0x8876086A, "D3DERR_NOTAVAILABLE"},
    {0x8876086B, "D3DERR_INVALIDDEVICE "},
    {0x8876086C, "D3DERR_INVALIDCALL "},
    {0x8876086D, "D3DERR_DRIVERINVALIDCALL "},
};

constexpr std::uint32_t FourCC(char a, char b, char c, char d) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}

constexpr Named kFormats[] = {
    {20, "R8G8B8"},
    {21, "A8R8G8B8"},
    {22, "X8R8G8B8"},
    {23, "R5G6B5"},
    {24, "X1R5G5B5"},
    {25, "A1R5G5B5"},
    {26, "A4R4G4B4"},
    {27, "R3G3B2"},
    {28, "A8"},
    {29, "A8R3G3B2"},
    {30, "X4R4G4B4"},
    {40, "A8P8"},
    {41, "P8"},
    {50, "L8"},
    {51, "A8L8"},
    {52, "A4L4"},
    {60, "V8U8"},
    {61, "L6V5U5"},
    {62, "X8L8V8U8"},
    {63, "Q8W8V8U8"},
    {64, "V16U16"},
    {70, "D16_LOCKABLE"},
    {71, "D32"},
    {73, "D15S1"},
    {75, "D24S8"},
    {77, "D24X8"},
    {79, "D24X4S4"},
    {80, "D16"},
    {100, "VERTEXDATA"},
    {101, "INDEX16"},
    {102, "INDEX32"},
    {FourCC('D', 'X', 'T', '1'), "DXT1"},
    {FourCC('D', 'X', 'T', '2'), "DXT2"},
    {FourCC('D', 'X', 'T', '3'), "DXT3"},
    {FourCC('D', 'X', 'T', '4'), "DXT4"},
    {FourCC('D', 'X', 'T', '5'), "DXT5"},
    {FourCC('U', 'Y', 'V', 'Y'), "UYVY"},
    {FourCC('Y', 'U', 'Y', '2'), "YUY2"},
};

}  // namespace

std::string D3DResultName(std::int32_t code) {
  const auto bits = static_cast<std::uint32_t>(code);
  for (const Named& result : kResults) {
    if (result.code == bits) return result.name;
  }
  char text[32];
  std::snprintf(text, sizeof text, "UNKNOWN ERROR ... $%.8X", static_cast<unsigned>(bits));
  return text;
}

std::string D3DFormatName(std::uint32_t format) {
  for (const Named& named : kFormats) {
    if (named.code == format) return named.name;
  }
  return "UNKNOWN";
}

}  // namespace dg
