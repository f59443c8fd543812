#include "dg/result_names.h"

#include <gtest/gtest.h>

namespace dg {
namespace {

TEST(D3DResultName, NamesKnownCodesWithTheirTrailingSpaces) {
  const struct {
    std::uint32_t code;
    const char* name;
  } cases[] = {
      {0x00000000, "D3D_OK"},
      {0x8876017C, "D3DERR_OUTOFVIDEOMEMORY"},
      {0x88760818, "D3DERR_WRONGTEXTUREFORMAT"},
      {0x88760819, "D3DERR_UNSUPPORTEDCOLOROPERATION "},
      {0x8876081D, "D3DERR_TOOMANYOPERATIONS "},
      {0x88760821, "D3DERR_CONFLICTINGRENDERSTATE"},
      {0x88760826, "D3DERR_CONFLICTINGTEXTUREPALETTE "},
      {0x88760827, "D3DERR_DRIVERINTERNALERROR "},
      {0x88760868, "D3DERR_DEVICELOST"},
      {0x8876086B, "D3DERR_INVALIDDEVICE "},
      {0x8876086C, "D3DERR_INVALIDCALL "},
      {0x8876086D, "D3DERR_DRIVERINVALIDCALL "},
      {0x00000001, "UNKNOWN ERROR ... $00000001"},
      {0x8876086E, "UNKNOWN ERROR ... $8876086E"},
      {0x0000ABCD, "UNKNOWN ERROR ... $0000ABCD"},
      {0xFFFFFFFF, "UNKNOWN ERROR ... $FFFFFFFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(D3DResultName(static_cast<std::int32_t>(c.code)), c.name) << std::hex << c.code;
  }
}

TEST(D3DFormatName, NamesFormatsAndFourCharacterCodes) {
  const struct {
    std::uint32_t format;
    const char* name;
  } cases[] = {
      {20, "R8G8B8"},       {21, "A8R8G8B8"},        {25, "A1R5G5B5"},     {26, "A4R4G4B4"},
      {41, "P8"},           {64, "V16U16"},          {70, "D16_LOCKABLE"}, {79, "D24X4S4"},
      {80, "D16"},          {102, "INDEX32"},        {0x31545844, "DXT1"}, {0x35545844, "DXT5"},
      {0x59565955, "UYVY"}, {0x32595559, "YUY2"},    {0, "UNKNOWN"},       {19, "UNKNOWN"},
      {72, "UNKNOWN"},      {0xFFFFFFFF, "UNKNOWN"},
  };
  for (const auto& c : cases) EXPECT_EQ(D3DFormatName(c.format), c.name) << c.format;
}

}  // namespace
}  // namespace dg
