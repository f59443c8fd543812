// Pixel-exact rendering of the software device: coverage, sampling, texture stage,
// alpha test and blending.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/device_fixture.h"

namespace {

using vm_d3d9_test::Quad;
using vm_d3d9_test::QuadVertex;
using vm_d3d9_test::TestDevice;

// Counts coverage: every draw adds 1 to the red channel of a black target.
std::vector<int> CoverageCounts(TestDevice& t) {
  std::vector<int> counts;
  for (uint32_t p : t.Pixels()) counts.push_back(static_cast<int>((p >> 16) & 255));
  return counts;
}

void PrepareCounting(TestDevice& t) {
  t.Clear(0xFF000000);
  t.Blend(true, D3DBLEND_ONE, D3DBLEND_ONE);
}

constexpr uint32_t kOne = 0xFF010000;  // adds 1 to red per covered pixel

TEST(FillRule, FullScreenQuadCoversEveryPixelOnce) {
  for (float offset : {0.0f, -0.5f}) {
    TestDevice t(640, 480);
    PrepareCounting(t);
    t.Draw({offset, offset, 640 + offset, 480 + offset, 0, 0, 1, 1, kOne});
    const std::vector<int> counts = CoverageCounts(t);
    int once = 0;
    for (int c : counts) once += c == 1;
    EXPECT_EQ(once, 307200) << "offset " << offset;
  }
}

TEST(FillRule, OnePixelQuadCoversOnePixel) {
  struct Case {
    float x0, y0;
    int px, py;
  };
  for (const Case& c : {Case{10, 10, 10, 10}, Case{9.5f, 9.5f, 10, 10}, Case{3.25f, 7.75f, 4, 8}}) {
    TestDevice t(32, 32);
    PrepareCounting(t);
    t.Draw({c.x0, c.y0, c.x0 + 1, c.y0 + 1, 0, 0, 1, 1, kOne});
    const std::vector<int> counts = CoverageCounts(t);
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        EXPECT_EQ(counts[static_cast<size_t>(y * 32 + x)], (x == c.px && y == c.py) ? 1 : 0)
            << "quad at " << c.x0 << "," << c.y0 << " pixel " << x << "," << y;
      }
    }
  }
}

TEST(FillRule, QuadsSharingEdgesCoverTheirUnionOnce) {
  // Axis-aligned neighbours with fractional edges, and a fan of slanted quads around
  // one point: the union is covered exactly once, nothing outside it.
  TestDevice t(64, 64);
  PrepareCounting(t);
  t.Draw({10.3f, 5.7f, 20.5f, 15.5f, 0, 0, 1, 1, kOne});
  t.Draw({20.5f, 5.7f, 31.25f, 15.5f, 0, 0, 1, 1, kOne});
  t.Draw({10.3f, 15.5f, 31.25f, 22.0f, 0, 0, 1, 1, kOne});
  std::vector<int> counts = CoverageCounts(t);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const bool inside = x >= 11 && x <= 31 && y >= 6 && y <= 21;
      ASSERT_EQ(counts[static_cast<size_t>(y * 64 + x)], inside ? 1 : 0) << x << "," << y;
    }
  }

  // A strip of slanted quads whose shared edges are diagonal; each covers one band.
  TestDevice s(64, 64);
  PrepareCounting(s);
  const float c = 32.3f;
  const float corners[][2] = {{5.1f, 3.3f}, {60.7f, 9.9f}, {55.2f, 61.4f}, {2.6f, 50.05f}};
  for (int i = 0; i < 4; ++i) {
    const float* a = corners[i];
    const float* b = corners[(i + 1) % 4];
    // Triangle centre, a, b drawn as a strip of one triangle, in clockwise order.
    const QuadVertex v[3] = {{c, c, 0.5f, 0.5f, kOne, 0, 0, 0},
                             {a[0], a[1], 0.5f, 0.5f, kOne, 0, 0, 0},
                             {b[0], b[1], 0.5f, 0.5f, kOne, 0, 0, 0}};
    s.DrawStrip(v, 3);
  }
  counts = CoverageCounts(s);
  int twice = 0, once = 0;
  for (int n : counts) {
    twice += n > 1;
    once += n == 1;
  }
  EXPECT_EQ(twice, 0);
  EXPECT_GT(once, 2000);
}

TEST(Sampling, ImageAtItsOwnSizeIsCopiedTexelForTexel) {
  struct Case {
    SoftwareDeviceOptions options;
    UINT texW, texH;  // allocated size
    float scaleU, scaleV;
  };
  SoftwareDeviceOptions pow2;
  pow2.pow2Only = true;
  for (const Case& c : {Case{{}, 37, 23, 1.0f, 1.0f}, Case{pow2, 64, 32, 37.0f / 64, 23.0f / 32}}) {
    TestDevice t(64, 48, c.options);
    t.Clear(0xFF123456);
    auto texel = [](int x, int y) {
      return 0xFF000000u | static_cast<uint32_t>(x * 7919 + y * 104729) * 2654435761u >> 8;
    };
    IDirect3DTexture9* tex = t.Texture(c.texW, c.texH, texel);
    t.device->SetTexture(0, tex);
    t.Modulate();
    t.Filter(D3DTEXF_POINT);
    t.Blend(true);
    t.Draw({5, 7, 5 + 37, 7 + 23, 0, 0, c.scaleU, c.scaleV});
    const std::vector<uint32_t> px = t.Pixels();
    for (int y = 0; y < 48; ++y) {
      for (int x = 0; x < 64; ++x) {
        const bool inside = x >= 5 && x < 42 && y >= 7 && y < 30;
        const uint32_t expected = inside ? texel(x - 5, y - 7) : 0xFF123456u;
        ASSERT_EQ(px[static_cast<size_t>(y * 64 + x)], expected) << x << "," << y;
      }
    }
  }
}

TEST(Sampling, PointAndLinearFollowTheHalfTexelConvention) {
  // A 2 x 1 texture (black, white) stretched over 4 pixels: point picks floor(u x 2);
  // linear samples at u x 2 - 0.5 and wraps at the left edge.
  struct Case {
    DWORD filter;
    uint32_t expected[4];
  };
  for (const Case& c : {Case{D3DTEXF_POINT, {0x00, 0x00, 0xFF, 0xFF}},
                        Case{D3DTEXF_LINEAR, {0x80, 0x00, 0x80, 0xFF}}}) {
    TestDevice t(8, 2);
    t.Clear(0xFF0000FF);
    IDirect3DTexture9* tex =
        t.Texture(2, 1, [](int x, int) { return x == 0 ? 0xFF000000u : 0xFFFFFFFFu; });
    t.device->SetTexture(0, tex);
    t.Filter(c.filter);
    t.Draw({0, 0, 4, 1});
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(t.Pixel(x, 0), 0xFF000000u | c.expected[x] * 0x010101u)
          << "filter " << c.filter << " x " << x;
    }
  }
}

TEST(Sampling, LinearDownscaleBlendsNeighbours) {
  // 4 texels to 2 pixels: pixel centres sample at texel 0 and 2, which the half-texel
  // shift puts exactly between two texels (the left one wraps to the last texel).
  const uint32_t green[4] = {0, 20, 100, 40};
  TestDevice t(4, 1);
  IDirect3DTexture9* tex = t.Texture(4, 1, [&](int x, int) { return 0xFF000000u | green[x] << 8; });
  t.device->SetTexture(0, tex);
  t.Filter(D3DTEXF_LINEAR);
  t.Draw({0, 0, 2, 1});
  EXPECT_EQ(t.Pixel(0, 0), 0xFF000000u | 20u << 8);  // (40 + 0) / 2
  EXPECT_EQ(t.Pixel(1, 0), 0xFF000000u | 60u << 8);  // (20 + 100) / 2
}

TEST(Stage, VertexColourModulatesWhiteGlyphTexels) {
  // A glyph texture: white texels carrying coverage in alpha, drawn with alpha blending
  // over white. Black vertex colour gives black text, red gives red.
  struct Case {
    uint32_t vertex;
    uint32_t fullCoverage;
    uint32_t halfCoverage;
  };
  for (const Case& c :
       {Case{0xFF000000, 0xFF000000, 0xFF7F7F7F}, Case{0xFFFF0000, 0xFFFF0000, 0xFFFF7F7F},
        Case{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}}) {
    TestDevice t(4, 1, {}, D3DFMT_X8R8G8B8);
    t.Clear(0xFFFFFFFF);
    IDirect3DTexture9* tex =
        t.Texture(2, 1, [](int x, int) { return x == 0 ? 0xFFFFFFFFu : 0x80FFFFFFu; });
    t.device->SetTexture(0, tex);
    t.Modulate();
    t.Blend(true);
    t.Draw({0, 0, 2, 1, 0, 0, 1, 1, c.vertex});
    EXPECT_EQ(t.Pixel(0, 0), c.fullCoverage) << std::hex << c.vertex;
    EXPECT_EQ(t.Pixel(1, 0), c.halfCoverage) << std::hex << c.vertex;
  }
}

TEST(Stage, WithoutTextureTheDiffuseColourIsDrawn) {
  TestDevice t(4, 4);
  t.Clear(0xFF000000);
  t.Modulate();
  t.device->SetTexture(0, nullptr);
  t.Draw({0, 0, 4, 4, 0, 0, 1, 1, 0x80336699});
  EXPECT_EQ(t.Pixel(2, 2), 0x80336699u);
}

TEST(Stage, SelectArgumentsPickTextureOrDiffuse) {
  struct Case {
    DWORD colorOp, alphaOp;
    uint32_t expected;
  };
  const uint32_t texel = 0x40A0B0C0, diffuse = 0xC0102030;
  for (const Case& c : {Case{D3DTOP_SELECTARG1, D3DTOP_SELECTARG1, texel},
                        Case{D3DTOP_SELECTARG2, D3DTOP_SELECTARG2, diffuse},
                        Case{D3DTOP_SELECTARG1, D3DTOP_SELECTARG2, 0xC0A0B0C0},
                        Case{D3DTOP_MODULATE, D3DTOP_MODULATE, 0x300A1624},
                        Case{D3DTOP_DISABLE, D3DTOP_DISABLE, diffuse}}) {
    TestDevice t(2, 2);
    IDirect3DTexture9* tex = t.Texture(1, 1, [&](int, int) { return texel; });
    t.device->SetTexture(0, tex);
    t.Modulate();
    t.device->SetTextureStageState(0, D3DTSS_COLOROP, c.colorOp);
    t.device->SetTextureStageState(0, D3DTSS_ALPHAOP, c.alphaOp);
    t.Draw({0, 0, 2, 2, 0, 0, 1, 1, diffuse});
    EXPECT_EQ(t.Pixel(1, 1), c.expected) << c.colorOp << "/" << c.alphaOp;
  }
}

// The six blend modes of the scene: (blend on, source factor, destination factor).
struct BlendCase {
  const char* name;
  bool blend;
  DWORD src, dst;
};
constexpr BlendCase kSceneModes[] = {
    {"opaque", false, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
    {"additive", true, D3DBLEND_SRCALPHA, D3DBLEND_ONE},
    {"alpha", true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
    {"darken", true, D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR},
    {"multiply", true, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR},
    {"cutout", false, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
};

TEST(Blend, SceneModesOverAKnownBackground) {
  const uint32_t background = 0xFF806040;
  const uint32_t source = 0x80FF8010;  // half-transparent orange
  for (size_t i = 0; i < std::size(kSceneModes); ++i) {
    const BlendCase& mode = kSceneModes[i];
    TestDevice t(2, 2);
    t.Clear(background);
    IDirect3DTexture9* tex = t.Texture(1, 1, [&](int, int) { return source; });
    t.device->SetTexture(0, tex);
    t.Modulate();
    t.Blend(mode.blend, mode.src, mode.dst);
    if (i == 5) {
      t.device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
      t.device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    }
    t.Draw({0, 0, 2, 2});
    // Independent reference: the weighted sum in double arithmetic, rounded once.
    uint32_t want = 0;
    for (int c = 0; c < 4; ++c) {
      const double s = (source >> (8 * c)) & 255, d = (background >> (8 * c)) & 255;
      const double sa = source >> 24;
      auto factor = [&](DWORD f) {
        switch (f) {
          case D3DBLEND_ZERO:
            return 0.0;
          case D3DBLEND_ONE:
            return 255.0;
          case D3DBLEND_SRCCOLOR:
            return s;
          case D3DBLEND_INVSRCCOLOR:
            return 255.0 - s;
          case D3DBLEND_SRCALPHA:
            return sa;
          default:
            return 255.0 - sa;
        }
      };
      double out = s;
      if (mode.blend) {
        out = std::min(255.0,
                       std::floor((s * factor(mode.src) + d * factor(mode.dst)) / 255.0 + 0.5));
      }
      want |= static_cast<uint32_t>(out) << (8 * c);
    }
    EXPECT_EQ(t.Pixel(1, 1), want) << mode.name;
  }
}

TEST(Blend, AlphaBlendOfHalfTransparentOrangeOverBrown) {
  // One case by hand: R (255 x 128 + 128 x 127) / 255 = 191.75 -> 192 (0xC0),
  // G (128 x 128 + 96 x 127) / 255 = 112.06 -> 112 (0x70),
  // B (16 x 128 + 64 x 127) / 255 = 39.91 -> 40 (0x28),
  // A (128 x 128 + 255 x 127) / 255 = 191.25 -> 191 (0xBF).
  TestDevice t(2, 2);
  t.Clear(0xFF806040);
  t.device->SetTexture(0, t.Texture(1, 1, [](int, int) { return 0x80FF8010u; }));
  t.Modulate();
  t.Blend(true);
  t.Draw({0, 0, 2, 2});
  EXPECT_EQ(t.Pixel(0, 0), 0xBFC07028u);
}

TEST(Blend, OperationsCombineSourceAndDestination) {
  struct Case {
    DWORD op;
    uint32_t expected;
  };
  // Source 0xFF30A050 with ONE/ONE over 0xFF808080.
  for (const Case& c : {Case{D3DBLENDOP_ADD, 0xFFB0FFD0}, Case{D3DBLENDOP_SUBTRACT, 0x00002000},
                        Case{D3DBLENDOP_REVSUBTRACT, 0x00500030}, Case{D3DBLENDOP_MIN, 0xFF308050},
                        Case{D3DBLENDOP_MAX, 0xFF80A080}}) {
    TestDevice t(2, 2);
    t.Clear(0xFF808080);
    t.Blend(true, D3DBLEND_ONE, D3DBLEND_ONE, c.op);
    t.Draw({0, 0, 2, 2, 0, 0, 1, 1, 0xFF30A050});
    EXPECT_EQ(t.Pixel(0, 0), c.expected) << "op " << c.op;
  }
  // Without the blend-op capability the device always adds.
  SoftwareDeviceOptions noBlendOp;
  noBlendOp.blendOp = false;
  TestDevice t(2, 2, noBlendOp);
  t.Clear(0xFF808080);
  t.Blend(true, D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_MIN);
  t.Draw({0, 0, 2, 2, 0, 0, 1, 1, 0xFF30A050});
  EXPECT_EQ(t.Pixel(0, 0), 0xFFB0FFD0u);
}

TEST(AlphaTest, EveryCompareFunctionAgainstTheReference) {
  struct Case {
    DWORD func;
    bool below, equal, above;  // alpha 0x7F, 0x80, 0x81 against reference 0x80
  };
  const Case cases[] = {
      {D3DCMP_NEVER, false, false, false},      {D3DCMP_LESS, true, false, false},
      {D3DCMP_EQUAL, false, true, false},       {D3DCMP_LESSEQUAL, true, true, false},
      {D3DCMP_GREATER, false, false, true},     {D3DCMP_NOTEQUAL, true, false, true},
      {D3DCMP_GREATEREQUAL, false, true, true}, {D3DCMP_ALWAYS, true, true, true}};
  for (const Case& c : cases) {
    TestDevice t(3, 1);
    t.Clear(0xFF000000);
    t.device->SetTexture(0, t.Texture(3, 1, [](int x, int) {
      return static_cast<uint32_t>(0x7F + x) << 24 | 0xFFFFFF;
    }));
    t.Modulate();
    t.device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    t.device->SetRenderState(D3DRS_ALPHAFUNC, c.func);
    t.device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    t.Draw({0, 0, 3, 1});
    const bool drawn[3] = {c.below, c.equal, c.above};
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ((t.Pixel(x, 0) & 0xFFFFFF) == 0xFFFFFF, drawn[x])
          << "func " << c.func << " x " << x;
    }
  }
}

TEST(Depth, ZStatesHaveNoEffectWithoutADepthBuffer) {
  TestDevice t(4, 4);
  t.Clear(0xFF000000);
  t.device->SetRenderState(D3DRS_ZENABLE, TRUE);
  t.device->SetRenderState(D3DRS_ZFUNC, D3DCMP_NEVER);
  t.Draw({0, 0, 4, 4, 0, 0, 1, 1, 0xFF00FF00});
  EXPECT_EQ(t.Pixel(1, 1), 0xFF00FF00u);
}

TEST(Depth, DepthBufferKeepsTheNearerQuad) {
  TestDevice t(4, 4, {}, D3DFMT_A8R8G8B8, TRUE);
  EXPECT_EQ(t.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0),
            D3D_OK);
  t.Draw({0, 0, 4, 4, 0, 0, 1, 1, 0xFF00FF00}, 0.2f);
  t.Draw({0, 0, 4, 4, 0, 0, 1, 1, 0xFFFF0000}, 0.6f);
  EXPECT_EQ(t.Pixel(1, 1), 0xFF00FF00u);
  t.device->SetRenderState(D3DRS_ZENABLE, FALSE);
  t.Draw({0, 0, 4, 4, 0, 0, 1, 1, 0xFFFF0000}, 0.6f);
  EXPECT_EQ(t.Pixel(1, 1), 0xFFFF0000u);
}

TEST(Culling, CounterClockwiseTrianglesAreCulledByDefault) {
  TestDevice t(4, 4);
  t.Clear(0xFF000000);
  // Mirrored quad: right-to-left makes both triangles counter-clockwise on screen.
  t.Draw({4, 0, 0, 4, 0, 0, 1, 1, 0xFFFFFFFF});
  EXPECT_EQ(t.Pixel(1, 1), 0xFF000000u);
  t.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  t.Draw({4, 0, 0, 4, 0, 0, 1, 1, 0xFFFFFFFF});
  EXPECT_EQ(t.Pixel(1, 1), 0xFFFFFFFFu);
}

TEST(Clear, FillsTheViewportOrTheGivenRectangles) {
  TestDevice t(8, 8, {}, D3DFMT_X8R8G8B8);
  t.Clear(0x00112233);
  EXPECT_EQ(t.Pixel(7, 7), 0xFF112233u);  // X8 back buffers read as opaque
  const D3DRECT r{2, 2, 4, 3};
  EXPECT_EQ(t.device->Clear(1, &r, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
  EXPECT_EQ(t.Pixel(2, 2), 0xFFFFFFFFu);
  EXPECT_EQ(t.Pixel(3, 2), 0xFFFFFFFFu);
  EXPECT_EQ(t.Pixel(4, 2), 0xFF112233u);
  EXPECT_EQ(t.Pixel(2, 3), 0xFF112233u);
}

// Draws gather the device's states again only after a call changed one: every kind of
// change must reach the next draw of the same frame, as it reaches a frame's first draw.
TEST(States, EachKindOfChangeReachesTheNextDrawOfTheFrame) {
  struct Case {
    const char* name;
    void (*change)(IDirect3DDevice9* device);
  };
  const Case cases[] = {
      {"render state", [](IDirect3DDevice9* d) { d->SetRenderState(D3DRS_COLORWRITEENABLE, 1); }},
      {"stage state",
       [](IDirect3DDevice9* d) { d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2); }},
      {"sampler state",
       [](IDirect3DDevice9* d) {
         d->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0xFF00FF00);
         d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_BORDER);
       }},
      {"texture unbound", [](IDirect3DDevice9* d) { d->SetTexture(0, nullptr); }},
      {"viewport",
       [](IDirect3DDevice9* d) {
         const D3DVIEWPORT9 left{0, 0, 2, 2, 0.0f, 1.0f};
         d->SetViewport(&left);
       }},
  };
  const Quad right{2, 0, 4, 2, 1, 0, 2, 1, 0xFF808080};
  for (const Case& c : cases) {
    // The right quad after the change, drawn second (after the left quad, whose states
    // it then no longer has) and drawn first.
    uint32_t second = 0, first = 0, unchanged = 0;
    for (const bool leftFirst : {true, false}) {
      TestDevice t(4, 2);
      t.Clear(0xFF000000);
      t.device->SetTexture(0, t.Texture(1, 1, [](int, int) { return 0xFF3366CCu; }));
      t.Modulate();
      if (leftFirst) t.Draw({0, 0, 2, 2, 1, 0, 2, 1, 0xFF808080});
      c.change(t.device);
      t.Draw(right);
      (leftFirst ? second : first) = t.Pixel(3, 1);
      if (leftFirst) unchanged = t.Pixel(1, 1);
    }
    EXPECT_EQ(second, first) << c.name;
    EXPECT_NE(first, unchanged) << c.name;
  }
}

}  // namespace
