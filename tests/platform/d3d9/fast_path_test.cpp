// The fast rasteriser path against the plain one: random draws of every kind the device
// supports must give the same pixels, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/device_fixture.h"

namespace {

using vm_d3d9_test::QuadVertex;
using vm_d3d9_test::TestDevice;

struct Scenario {
  D3DFORMAT backBuffer;
  D3DFORMAT texFormat;  // D3DFMT_UNKNOWN: no texture
  UINT texW, texH;
  DWORD filter;
  DWORD address;
  bool blend;
  DWORD src, dst, op;
  bool alphaTest;
  DWORD alphaFunc, alphaRef;
  DWORD colorOp, alphaOp;
  DWORD cull;
  DWORD shade;
  bool opaqueTexels;
  QuadVertex v[4];
};

Scenario RandomScenario(std::mt19937& rng) {
  auto pick = [&](auto... values) {
    const uint32_t options[] = {static_cast<uint32_t>(values)...};
    return options[std::uniform_int_distribution<size_t>(0, sizeof...(values) - 1)(rng)];
  };
  auto real = [&](float lo, float hi) {
    return std::uniform_real_distribution<float>(lo, hi)(rng);
  };
  auto chance = [&](double p) { return std::bernoulli_distribution(p)(rng); };
  Scenario s{};
  s.backBuffer = static_cast<D3DFORMAT>(pick(D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8));
  s.texFormat = static_cast<D3DFORMAT>(pick(D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8,
                                            D3DFMT_A4R4G4B4, D3DFMT_R5G6B5, D3DFMT_UNKNOWN));
  s.texW = pick(1, 2, 7, 16, 37, 64);
  s.texH = pick(1, 3, 16, 21, 30);
  s.filter = pick(D3DTEXF_POINT, D3DTEXF_LINEAR);
  s.address = pick(D3DTADDRESS_WRAP, D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR,
                   D3DTADDRESS_BORDER);
  s.blend = chance(0.7);
  const int mode = static_cast<int>(pick(0, 1, 2, 2, 2, 3, 4, 5));
  const DWORD srcs[] = {D3DBLEND_SRCALPHA, D3DBLEND_SRCALPHA, D3DBLEND_SRCALPHA,
                        D3DBLEND_ZERO,     D3DBLEND_ZERO,     D3DBLEND_DESTCOLOR};
  const DWORD dsts[] = {D3DBLEND_INVSRCALPHA, D3DBLEND_ONE,      D3DBLEND_INVSRCALPHA,
                        D3DBLEND_INVSRCCOLOR, D3DBLEND_SRCCOLOR, D3DBLEND_INVDESTALPHA};
  s.src = srcs[mode];
  s.dst = dsts[mode];
  s.op = chance(0.8)
             ? static_cast<DWORD>(D3DBLENDOP_ADD)
             : pick(D3DBLENDOP_SUBTRACT, D3DBLENDOP_REVSUBTRACT, D3DBLENDOP_MIN, D3DBLENDOP_MAX);
  s.alphaTest = chance(0.2);
  s.alphaFunc = pick(D3DCMP_GREATER, D3DCMP_LESS, D3DCMP_EQUAL, D3DCMP_ALWAYS);
  s.alphaRef = pick(0, 0x80, 0xFF);
  s.colorOp =
      pick(D3DTOP_MODULATE, D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTOP_SELECTARG2, D3DTOP_ADD);
  s.alphaOp = pick(D3DTOP_MODULATE, D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTOP_SELECTARG2);
  s.cull = chance(0.5) ? static_cast<DWORD>(D3DCULL_NONE) : static_cast<DWORD>(D3DCULL_CCW);
  s.opaqueTexels = chance(0.3);
  s.shade = chance(0.9) ? static_cast<DWORD>(D3DSHADE_GOURAUD) : static_cast<DWORD>(D3DSHADE_FLAT);

  // Mostly axis-aligned quads at whole, half or arbitrary positions; sometimes rotated,
  // sometimes stretched far beyond the texture (wrapping) or mirrored.
  const float grid = pick(0, 1, 2) == 0 ? 1.0f : (chance(0.5) ? 0.5f : 0.0f);
  auto snap = [&](float v) { return grid > 0 ? std::round(v / grid) * grid : v; };
  const float x0 = snap(real(-20, 90)), y0 = snap(real(-20, 70));
  const float w = snap(real(0.3f, 90)), h = snap(real(0.3f, 60));
  const float u0 = chance(0.6) ? 0.0f : real(-2, 2), v0 = chance(0.6) ? 0.0f : real(-2, 2);
  const float u1 = chance(0.6) ? 1.0f : real(-3, 3), v1 = chance(0.6) ? 1.0f : real(-3, 3);
  const bool uniform = chance(0.7);
  const uint32_t base = pick(0xFFFFFFFFu, 0xFF000000u, 0xFFFF0000u, 0x80FFFFFFu, 0x60000000u,
                             static_cast<uint32_t>(rng()));
  auto color = [&]() { return uniform ? base : static_cast<uint32_t>(rng()); };
  const float rhw = chance(0.9) ? 0.5f : real(0.1f, 1.0f);
  s.v[0] = {x0, y0, 0.5f, 0.5f, color(), 0, u0, v0};
  s.v[1] = {x0 + w, y0, 0.5f, rhw, color(), 0, u1, v0};
  s.v[2] = {x0, y0 + h, 0.5f, 0.5f, color(), 0, u0, v1};
  s.v[3] = {x0 + w, y0 + h, 0.5f, 0.5f, color(), 0, u1, v1};
  if (chance(0.25)) {
    const float angle = real(-3.2f, 3.2f), cx = x0 + w / 2, cy = y0 + h / 2;
    for (QuadVertex& p : s.v) {
      const float dx = p.x - cx, dy = p.y - cy;
      p.x = cx + dx * std::cos(angle) - dy * std::sin(angle);
      p.y = cy + dx * std::sin(angle) + dy * std::cos(angle);
    }
  }
  return s;
}

void DrawScenario(TestDevice& t, const Scenario& s, std::mt19937 texRng) {
  IDirect3DDevice9* d = t.device;
  // A background with varied alpha so that destination-alpha blends see something.
  for (int i = 0; i < 6; ++i) {
    const D3DRECT r{i * 16, 0, i * 16 + 16, 64};
    d->Clear(1, &r, D3DCLEAR_TARGET, static_cast<D3DCOLOR>(texRng()), 1.0f, 0);
  }
  if (s.texFormat != D3DFMT_UNKNOWN) {
    auto texel = [&](int, int) {
      const uint32_t v = static_cast<uint32_t>(texRng());
      // Many fully opaque and fully clear texels, as in sprites.
      const uint32_t a = s.opaqueTexels    ? 255u
                         : (v >> 24) < 96  ? 0u
                         : (v >> 24) < 192 ? 255u
                                           : (v >> 24);
      return s.texFormat == D3DFMT_A8R8G8B8 || s.texFormat == D3DFMT_X8R8G8B8
                 ? (a << 24 | (v & 0xFFFFFF))
                 : (v & 0xFFFF);
    };
    d->SetTexture(0, t.Texture(s.texW, s.texH, texel, s.texFormat));
  } else {
    d->SetTexture(0, nullptr);
  }
  t.Filter(s.filter);
  d->SetSamplerState(0, D3DSAMP_ADDRESSU, s.address);
  d->SetSamplerState(0, D3DSAMP_ADDRESSV, s.address);
  d->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0x80402010);
  t.Blend(s.blend, s.src, s.dst, s.op);
  d->SetRenderState(D3DRS_ALPHATESTENABLE, s.alphaTest);
  d->SetRenderState(D3DRS_ALPHAFUNC, s.alphaFunc);
  d->SetRenderState(D3DRS_ALPHAREF, s.alphaRef);
  d->SetRenderState(D3DRS_CULLMODE, s.cull);
  d->SetRenderState(D3DRS_SHADEMODE, s.shade);
  t.Modulate();
  d->SetTextureStageState(0, D3DTSS_COLOROP, s.colorOp);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, s.alphaOp);
  t.DrawStrip(s.v, 4);
}

// The scenario drawn with `path` and with the plain path, each on a fresh device whose
// texture is filled from `texSeed`: the pixels of both back buffers.
std::pair<std::vector<uint32_t>, std::vector<uint32_t>> DrawOnBothPaths(const Scenario& s,
                                                                        uint32_t texSeed,
                                                                        RasterPath path) {
  TestDevice fast(96, 64, {}, s.backBuffer);
  TestDevice plain(96, 64, {}, s.backBuffer);
  fast.device->SetRasterPath(path);
  plain.device->SetRasterPath(RasterPath::Plain);
  DrawScenario(fast, s, std::mt19937(texSeed));
  DrawScenario(plain, s, std::mt19937(texSeed));
  return {fast.Pixels(), plain.Pixels()};
}

class FastPath : public testing::TestWithParam<RasterPath> {};

TEST_P(FastPath, RandomDrawsMatchThePlainPathBitForBit) {
  std::mt19937 rng(20261207);
  for (int i = 0; i < 3000; ++i) {
    const Scenario s = RandomScenario(rng);
    const uint32_t texSeed = static_cast<uint32_t>(rng());
    const auto [a, b] = DrawOnBothPaths(s, texSeed, GetParam());
    int differing = 0;
    size_t first = 0;
    for (size_t p = 0; p < a.size(); ++p) {
      if (a[p] != b[p] && differing++ == 0) first = p;
    }
    ASSERT_EQ(differing, 0) << "draw " << i << ": first at " << first % 96 << "," << first / 96
                            << " fast " << std::hex << a[first] << " plain " << b[first];
  }
}

TEST_P(FastPath, TypicalSaverDrawsMatchOnAFullFrame) {
  // Own-size sprites, glyphs in black and red, and a stretched, linearly filtered
  // wallpaper, all on one 640 x 480 target.
  TestDevice fast(640, 480), plain(640, 480);
  fast.device->SetRasterPath(GetParam());
  plain.device->SetRasterPath(RasterPath::Plain);
  for (TestDevice* t : {&fast, &plain}) {
    std::mt19937 rng(7);
    t->Clear(0xFF000000);
    t->Modulate();
    t->Blend(true);
    t->Filter(D3DTEXF_LINEAR);
    t->device->SetTexture(0, t->Texture(1024, 768, [&](int, int) {
      return 0xFF000000u | static_cast<uint32_t>(rng());
    }));
    t->Draw({0, 0, 640, 480});
    t->Filter(D3DTEXF_POINT);
    t->device->SetTexture(
        0, t->Texture(64, 32, [&](int, int) { return static_cast<uint32_t>(rng()); }));
    for (int k = 0; k < 81; ++k) {
      const float x = 73.0f + 54.0f * static_cast<float>(k % 9),
                  y = 129.0f + 36.0f * static_cast<float>(k / 9);
      t->Draw({x, y, x + 44, y + 30, 0, 0, 44.0f / 64, 30.0f / 32});
      t->Draw({x + 11, y + 4, x + 32, y + 25, 0, 0, 21.0f / 64, 21.0f / 32,
               k % 7 ? 0xFF000000u : 0xFFFF0000u});
    }
  }
  EXPECT_EQ(fast.Pixels(), plain.Pixels());
}

// Quads one texel per pixel across, linear or point sampled: the texture at its own width,
// placed on whole, half, quarter and arbitrary positions (so the blend weight is 0, 128 or
// anything) and stretched or not vertically, over every addressing mode, so that the first
// and last pixels of a row reach across the texture's edge (or, drawn at its own size, stay
// just inside it).
Scenario OneTexelPerPixelScenario(std::mt19937& rng) {
  Scenario s = RandomScenario(rng);
  auto pick = [&](auto... values) {
    const float options[] = {static_cast<float>(values)...};
    return options[std::uniform_int_distribution<size_t>(0, sizeof...(values) - 1)(rng)];
  };
  s.filter = std::bernoulli_distribution(0.7)(rng) ? D3DTEXF_LINEAR : D3DTEXF_POINT;
  if (std::bernoulli_distribution(0.8)(rng)) {
    s.texFormat = std::bernoulli_distribution(0.7)(rng) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
  }
  const float fraction =
      pick(0.0f, 0.0f, 0.5f, 0.25f, 0.75f, std::uniform_real_distribution<float>(0, 1)(rng));
  const float x0 = static_cast<float>(std::uniform_int_distribution<int>(-20, 60)(rng)) + fraction;
  const float y0 =
      static_cast<float>(std::uniform_int_distribution<int>(-10, 40)(rng)) + pick(0.0f, 0.5f, 0.3f);
  const float h = static_cast<float>(s.texH) * pick(1.0f, 1.0f, 2.0f, 0.5f, 1.7f);
  // The quad spans `texels` texels from u0 on, as many pixels as texels.
  const float texels = static_cast<float>(s.texW) * pick(1.0f, 1.0f, 2.0f, 0.5f);
  const float u0 = pick(0.0f, 0.0f, 0.5f, -1.0f, 3.0f) / static_cast<float>(s.texW);
  const float u1 = u0 + texels / static_cast<float>(s.texW);
  const float v0 = pick(0.0f, 0.0f, 0.5f);
  const uint32_t color =
      static_cast<uint32_t>(pick(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u, 0x80FFFFFFu, 0xFFFF0000u));
  s.v[0] = {x0, y0, 0.5f, 0.5f, color, 0, u0, v0};
  s.v[1] = {x0 + texels, y0, 0.5f, 0.5f, color, 0, u1, v0};
  s.v[2] = {x0, y0 + h, 0.5f, 0.5f, color, 0, u0, v0 + 1};
  s.v[3] = {x0 + texels, y0 + h, 0.5f, 0.5f, color, 0, u1, v0 + 1};
  return s;
}

TEST_P(FastPath, OneTexelPerPixelDrawsMatchThePlainPath) {
  std::mt19937 rng(7120);
  for (int i = 0; i < 2000; ++i) {
    const Scenario s = OneTexelPerPixelScenario(rng);
    const uint32_t texSeed = static_cast<uint32_t>(rng());
    const auto [a, b] = DrawOnBothPaths(s, texSeed, GetParam());
    size_t p = 0;
    while (p < a.size() && a[p] == b[p]) ++p;
    ASSERT_EQ(p, a.size()) << "draw " << i << " (" << s.texW << " x " << s.texH << " at "
                           << s.v[0].x << "," << s.v[0].y << "): first at " << p % 96 << ","
                           << p / 96 << " fast " << std::hex << a[p] << " plain " << b[p];
  }
}

TEST_P(FastPath, OwnSizeWallpaperMatchesOnAFullFrame) {
  // The saver's wallpaper: 640 x 480 texels over 640 x 480 pixels, opaque, alpha blended.
  for (const D3DFORMAT format : {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8}) {
    TestDevice fast(640, 480), plain(640, 480);
    fast.device->SetRasterPath(GetParam());
    plain.device->SetRasterPath(RasterPath::Plain);
    for (TestDevice* t : {&fast, &plain}) {
      std::mt19937 rng(11);
      t->Clear(0x00000000);
      t->Modulate();
      t->Blend(true);
      t->Filter(D3DTEXF_LINEAR);
      t->device->SetTexture(
          0, t->Texture(
                 640, 480, [&](int, int) { return 0xFF000000u | static_cast<uint32_t>(rng()); },
                 format));
      t->Draw({0, 0, 640, 480});
    }
    EXPECT_EQ(fast.Pixels(), plain.Pixels()) << format;
  }
}

// Fast takes AVX2 where the processor has it; FastSse2 keeps to the baseline loops.
INSTANTIATE_TEST_SUITE_P(Vectors, FastPath,
                         testing::Values(RasterPath::Fast, RasterPath::FastSse2));

}  // namespace
