// The device's two economies, checked against doing without them: a clear held back until
// the back buffer is next used, and presenting only the rows that changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/device_fixture.h"

namespace {

using vm_d3d9_test::Quad;
using vm_d3d9_test::QuadVertex;
using vm_d3d9_test::TestDevice;

// Forces any held-back clear out by locking the back buffer.
void TouchBackBuffer(TestDevice& t) {
  IDirect3DSurface9* bb = nullptr;
  ASSERT_EQ(t.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &bb), D3D_OK);
  D3DLOCKED_RECT lr{};
  ASSERT_EQ(bb->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
  bb->UnlockRect();
  bb->Release();
}

struct ClearCase {
  const char* name;
  Quad quad;
  bool opaqueTexels;
  bool blend;
  bool alphaTest;
  DWORD writeMask;
  D3DVIEWPORT9 viewport;        // Width 0: the whole target
  bool drawInViewport = false;  // otherwise the draw sees the whole target again
};

class HeldBackClear : public testing::TestWithParam<ClearCase> {};

// A clear followed by a draw gives the pixels of a clear carried out at once, whether the
// draw covers the cleared area (and the clear is dropped) or not.
TEST_P(HeldBackClear, MatchesAClearCarriedOutAtOnce) {
  const ClearCase& c = GetParam();
  for (const D3DFORMAT format : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8}) {
    TestDevice held(64, 48, {}, format), direct(64, 48, {}, format);
    const D3DVIEWPORT9 whole{0, 0, 64, 48, 0.0f, 1.0f};
    for (TestDevice* t : {&held, &direct}) {
      std::mt19937 rng(5);
      for (int i = 0; i < 12; ++i) {  // something under the clear that must not survive it
        const D3DRECT r{i * 6, i * 4, i * 6 + 9, i * 4 + 7};
        t->device->Clear(1, &r, D3DCLEAR_TARGET, static_cast<D3DCOLOR>(rng()), 1.0f, 0);
      }
      if (c.viewport.Width != 0) t->device->SetViewport(&c.viewport);
      t->Clear(0x40203010);
      if (t == &direct) TouchBackBuffer(*t);
      if (!c.drawInViewport) t->device->SetViewport(&whole);
      t->Modulate();
      t->Blend(c.blend);
      t->Filter(D3DTEXF_LINEAR);
      t->device->SetRenderState(D3DRS_ALPHATESTENABLE, c.alphaTest);
      t->device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
      t->device->SetRenderState(D3DRS_ALPHAREF, 0x80);
      t->device->SetRenderState(D3DRS_COLORWRITEENABLE, c.writeMask);
      t->device->SetTexture(0, t->Texture(64, 48, [&](int x, int y) {
        const uint32_t alpha =
            c.opaqueTexels ? 0xFFu : static_cast<uint32_t>((x * 7 + y * 3) & 0xFF);
        return alpha << 24 | (static_cast<uint32_t>(rng()) & 0xFFFFFF);
      }));
      t->Draw(c.quad);
    }
    EXPECT_EQ(held.Pixels(), direct.Pixels()) << c.name << " on format " << format;
  }
}

constexpr D3DVIEWPORT9 kWhole{0, 0, 0, 0, 0.0f, 1.0f};
constexpr D3DVIEWPORT9 kInner{8, 4, 40, 30, 0.0f, 1.0f};

INSTANTIATE_TEST_SUITE_P(
    Draws, HeldBackClear,
    testing::Values(
        ClearCase{"opaque, covering", {0, 0, 64, 48}, true, true, false, 0xF, kWhole},
        ClearCase{"opaque, without blending", {0, 0, 64, 48}, true, false, false, 0xF, kWhole},
        ClearCase{"opaque, beyond the target", {-3.5f, -2, 70, 50}, true, true, false, 0xF, kWhole},
        ClearCase{"translucent texels", {0, 0, 64, 48}, false, true, false, 0xF, kWhole},
        ClearCase{"translucent texels, without blending",
                  {0, 0, 64, 48},
                  false,
                  false,
                  false,
                  0xF,
                  kWhole},
        ClearCase{"one column short", {0, 0, 63, 48}, true, true, false, 0xF, kWhole},
        ClearCase{"half a pixel short", {0.6f, 0, 64, 48}, true, true, false, 0xF, kWhole},
        ClearCase{"alpha test", {0, 0, 64, 48}, true, true, true, 0xF, kWhole},
        ClearCase{"colour channels masked", {0, 0, 64, 48}, true, true, false, 0x7, kWhole},
        ClearCase{
            "cleared viewport inside the quad", {0, 0, 64, 48}, true, true, false, 0xF, kInner},
        ClearCase{"quad on the cleared viewport", {8, 4, 48, 34}, true, true, false, 0xF, kInner},
        ClearCase{"quad clipped to the cleared viewport",
                  {0, 0, 64, 48},
                  true,
                  true,
                  false,
                  0xF,
                  kInner,
                  true},
        ClearCase{"quad smaller than the cleared viewport",
                  {9, 4, 48, 34},
                  true,
                  true,
                  false,
                  0xF,
                  kInner},
        ClearCase{"translucent quad in the viewport",
                  {0, 0, 64, 48},
                  false,
                  true,
                  false,
                  0xF,
                  kInner,
                  true}),
    [](const testing::TestParamInfo<ClearCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(HeldBackClear, ShowsInPresentedFramesAndLocks) {
  TestDevice t(8, 6);
  t.Clear(0xFF112233);
  ASSERT_EQ(t.device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  std::vector<uint32_t> frame;
  ASSERT_TRUE(t.device->GetLastPresentedFrame(&frame, nullptr, nullptr));
  EXPECT_EQ(frame, std::vector<uint32_t>(48, 0xFF112233u));
  t.Clear(0xFF445566);
  t.Clear(0xFF778899);  // the second covers the first
  EXPECT_EQ(t.Pixels(), std::vector<uint32_t>(48, 0xFF778899u));
}

// A target that keeps only what the device says changed, on top of what it had.
class PatchTarget : public PresentTarget {
 public:
  void Show(const uint32_t* pixels, int width, int height, int pitch) override {
    ShowChanges(pixels, width, height, pitch, FrameChanges{});
  }
  void ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                   const FrameChanges& changes) override {
    const bool whole =
        changes.whole || changes.presenter != presenter_ || width != width_ || height != height_;
    presenter_ = changes.presenter;
    width_ = width;
    height_ = height;
    frame.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    lastWhole = whole;
    changedPixels = 0;
    auto take = [&](int x0, int y0, int x1, int y1) {
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          frame[static_cast<size_t>(y * width + x)] = reinterpret_cast<const uint32_t*>(
              reinterpret_cast<const uint8_t*>(pixels) + y * pitch)[x];
          ++changedPixels;
        }
    };
    if (whole) {
      take(0, 0, width, height);
      return;
    }
    for (int i = 0; i < changes.count; ++i) {
      const ChangedRect& r = changes.rects[i];
      for (int k = 0; k < i; ++k) {  // no pixel is in two rectangles
        const ChangedRect& o = changes.rects[k];
        EXPECT_FALSE(r.left < o.right && o.left < r.right && r.top < o.bottom && o.top < r.bottom);
      }
      take(r.left, r.top, r.right, r.bottom);
    }
  }
  int ClientWidth() const override { return 0; }
  int ClientHeight() const override { return 0; }
  void ResizeClient(int, int) override {}

  std::vector<uint32_t> frame;
  bool lastWhole = false;
  long changedPixels = 0;

 private:
  const void* presenter_ = nullptr;
  int width_ = 0, height_ = 0;
};

TEST(PresentedChanges, RebuildEveryFrameOnTwoTargetsFromTwoDevices) {
  TestDevice first(80, 60), second(80, 60);
  PatchTarget a, b;
  std::mt19937 rng(99);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int step = 0; step < 400; ++step) {
    TestDevice& t = pick(0, 3) == 0 ? second : first;
    // A few small changes, or many (more bands than the list holds), or none.
    const int edits = pick(0, 4) == 0 ? pick(20, 40) : pick(0, 3);
    for (int e = 0; e < edits; ++e) {
      const int x = pick(-5, 79), y = pick(-5, 59);
      const D3DRECT r{x, y, x + pick(1, 12), y + pick(1, 3)};
      t.device->Clear(1, &r, D3DCLEAR_TARGET, static_cast<D3DCOLOR>(rng()), 1.0f, 0);
    }
    PatchTarget& target = pick(0, 2) == 0 ? b : a;
    ASSERT_EQ(t.device->Present(nullptr, nullptr, &target, nullptr), D3D_OK);
    ASSERT_EQ(target.frame, t.Pixels()) << "step " << step;
  }
}

TEST(PresentedChanges, AnUnchangedFrameChangesNothingAndOneEditOnlyItsRows) {
  TestDevice t(80, 60);
  PatchTarget target;
  t.Clear(0xFF000000);
  t.device->Present(nullptr, nullptr, &target, nullptr);
  EXPECT_TRUE(target.lastWhole);
  t.Clear(0xFF000000);
  t.device->Present(nullptr, nullptr, &target, nullptr);
  EXPECT_FALSE(target.lastWhole);
  EXPECT_EQ(target.changedPixels, 0);
  const D3DRECT r{10, 20, 14, 23};
  t.Clear(0xFF000000);
  t.device->Clear(1, &r, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
  t.device->Present(nullptr, nullptr, &target, nullptr);
  EXPECT_EQ(target.changedPixels, 12);
  // Drawn over the last frame without clearing it first, a frame hands over what it drew.
  t.device->Clear(1, &r, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
  t.device->Present(nullptr, nullptr, &target, nullptr);
  EXPECT_FALSE(target.lastWhole);
  EXPECT_EQ(target.changedPixels, 12);
  EXPECT_EQ(target.frame, t.Pixels());
}

TEST(PresentedChanges, ManyScatteredChangesComeInTheFewRectanglesATargetTakes) {
  TestDevice t(80, 60);
  PatchTarget target;
  const auto frame = [&](uint32_t colour) {
    t.Clear(0xFF000000);
    for (int k = 0; k < 40; ++k) {  // 40 spots, 2 x 2 pixels, none touching another
      const D3DRECT r{(k % 8) * 10, (k / 8) * 12, (k % 8) * 10 + 2, (k / 8) * 12 + 2};
      t.device->Clear(1, &r, D3DCLEAR_TARGET, colour + static_cast<uint32_t>(k), 1.0f, 0);
    }
    ASSERT_EQ(t.device->Present(nullptr, nullptr, &target, nullptr), D3D_OK);
  };
  frame(0xFF102030);
  frame(0xFF405060);
  EXPECT_FALSE(target.lastWhole);
  EXPECT_LT(target.changedPixels, 80 * 60 / 2);
  EXPECT_EQ(target.frame, t.Pixels());
}

TEST(PresentedChanges, ARedrawThatChangesNoPixelHandsOverNothing) {
  TestDevice t(16, 8);
  PatchTarget target;
  IDirect3DTexture9* texture =
      t.Texture(2, 2, [](int x, int) { return x ? 0xFFFF0000u : 0xFF00FF00u; });
  const auto frame = [&] {
    t.Clear(0xFF000000);
    t.device->SetTexture(0, texture);
    t.Draw({4, 2, 8, 6});
    ASSERT_EQ(t.device->Present(nullptr, nullptr, &target, nullptr), D3D_OK);
  };
  const auto write = [&](uint32_t texel) {
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(texture->LockRect(0, &lr, nullptr, 0), D3D_OK);
    static_cast<uint32_t*>(lr.pBits)[0] = texel;
    texture->UnlockRect(0);
  };
  frame();
  write(0xFF00FF00u);  // the same texel again: a new texture content, the same pixels
  frame();
  EXPECT_FALSE(target.lastWhole);
  EXPECT_EQ(target.changedPixels, 0);
  write(0xFF0000FFu);  // the top-left texel covers 2 x 2 pixels
  frame();
  EXPECT_EQ(target.changedPixels, 4);
  EXPECT_EQ(target.frame, t.Pixels());
}

// With the scissor test on, a clear or an opaque draw over a whole-target clear changes
// exactly the pixels it changes without it that lie in the scissor rectangle: the held-back
// clear beneath must not be dropped for a draw that the scissor keeps from covering it.
TEST(Scissor, LimitsClearsAndDrawsToItsRectangle) {
  struct Case {
    const char* name;
    RECT scissor;
  };
  const Case cases[] = {{"inside", {5, 4, 20, 17}},
                        {"over the top-left edge", {-5, -5, 10, 10}},
                        {"beyond the target", {0, 0, 100, 100}},
                        {"empty", {10, 10, 10, 10}}};
  for (const Case& c : cases) {
    for (const bool draw : {false, true}) {
      TestDevice cut(40, 30), whole(40, 30);
      for (TestDevice* t : {&cut, &whole}) {
        t->Clear(0xFF102030);
        if (t == &cut) {
          t->device->SetScissorRect(&c.scissor);
          t->device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
        }
        if (draw) {
          t->Modulate();
          t->Blend(false);
          t->device->SetTexture(0, t->Texture(8, 8, [](int x, int y) {
            return 0xFF000000u | static_cast<uint32_t>(x * 31 + y * 7000);
          }));
          t->Draw({0, 0, 40, 30});
        } else {
          t->Clear(0xFFE0C0A0);
        }
      }
      const std::vector<uint32_t> got = cut.Pixels(), all = whole.Pixels();
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
          const bool in = x >= c.scissor.left && x < c.scissor.right && y >= c.scissor.top &&
                          y < c.scissor.bottom;
          const size_t i = static_cast<size_t>(y * 40 + x);
          ASSERT_EQ(got[i], in ? all[i] : 0xFF102030u)
              << c.name << (draw ? ", draw" : ", clear") << " at " << x << "," << y;
        }
    }
  }
}

// Frames drawn over the last one box by box, as the scene draws them (the box cleared, then
// every draw reaching into it under the scissor test), give the pixels of frames drawn whole,
// and their target gets them. A box whose first draws stay as they were starts from what
// those left last time: here the box of a sprite that only changes colour, like the saver's
// walker, over a background that changes now and then, while another sprite moves.
TEST(PresentedChanges, FramesDrawnBoxByBoxMatchFramesDrawnWhole) {
  TestDevice boxes(96, 64), whole(96, 64);
  PatchTarget target;
  std::mt19937 rng(31);
  IDirect3DTexture9* textures[2][2];
  for (int k = 0; k < 2; ++k) {
    TestDevice& t = k == 0 ? boxes : whole;
    std::mt19937 texels(5);
    textures[k][0] =
        t.Texture(96, 64, [&](int, int) { return 0xC0000000u | (texels() & 0xFFFFFF); });
    textures[k][1] = t.Texture(12, 12, [&](int x, int y) { return (x + y) % 3 ? 0xFF80C040u : 0; });
  }
  Quad still{10, 10, 22, 22}, moving{50, 30, 62, 42};
  const auto reaches = [](const Quad& q, const RECT& r) {
    return q.x0 < static_cast<float>(r.right) && static_cast<float>(r.left) < q.x1 &&
           q.y0 < static_cast<float>(r.bottom) && static_cast<float>(r.top) < q.y1;
  };
  const auto draw = [&](TestDevice& t, int k, const RECT* box) {
    const D3DRECT rect = box ? D3DRECT{box->left, box->top, box->right, box->bottom} : D3DRECT{};
    t.device->Clear(box ? 1 : 0, box ? &rect : nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    if (box) t.device->SetScissorRect(box);
    t.device->SetRenderState(D3DRS_SCISSORTESTENABLE, box != nullptr);
    t.Modulate();
    t.Blend(true);
    t.device->SetTexture(0, textures[k][0]);
    t.Draw({0, 0, 96, 64});
    t.device->SetTexture(0, textures[k][1]);
    for (const Quad& q : {still, moving})
      if (!box || reaches(q, *box)) t.Draw(q);
    t.device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
  };
  draw(boxes, 0, nullptr);
  ASSERT_EQ(boxes.device->Present(nullptr, nullptr, &target, nullptr), D3D_OK);
  for (int frame = 0; frame < 40; ++frame) {
    const RECT stillBox{10, 10, 22, 22};
    still.color = 0xFF000000u | static_cast<uint32_t>(rng());
    std::vector<RECT> changed{stillBox};
    if (frame % 7 == 3) {  // the background changes under the still sprite only
      for (int k = 0; k < 2; ++k) {
        D3DLOCKED_RECT lr{};
        ASSERT_EQ(textures[k][0]->LockRect(0, &lr, nullptr, 0), D3D_OK);
        static_cast<uint32_t*>(lr.pBits)[15 * lr.Pitch / 4 + 15] ^= 0x00FFFFFFu;
        textures[k][0]->UnlockRect(0);
      }
    }
    if (frame % 3 == 0) {
      const RECT before{static_cast<LONG>(moving.x0), static_cast<LONG>(moving.y0),
                        static_cast<LONG>(moving.x1), static_cast<LONG>(moving.y1)};
      const float dx = static_cast<float>(static_cast<int>(rng() % 5) - 2);
      moving.x0 += dx;
      moving.x1 += dx;
      changed.push_back({std::min(before.left, static_cast<LONG>(moving.x0)), before.top,
                         std::max(before.right, static_cast<LONG>(moving.x1)), before.bottom});
    }
    for (const RECT& box : changed) draw(boxes, 0, &box);
    draw(whole, 1, nullptr);
    ASSERT_EQ(boxes.device->Present(nullptr, nullptr, &target, nullptr), D3D_OK);
    ASSERT_EQ(boxes.Pixels(), whole.Pixels()) << "frame " << frame;
    ASSERT_FALSE(target.lastWhole);
    ASSERT_EQ(target.frame, boxes.Pixels()) << "frame " << frame;
  }
}

// A target that shows from the presenter's kept frame, as the windows do.
class KeepingTarget : public PatchTarget {
 public:
  void ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                   const FrameChanges& changes) override {
    PatchTarget::ShowChanges(pixels, width, height, pitch, changes);
    kept = changes.kept;
  }
  std::vector<uint32_t> Kept() const { return {kept.get(), kept.get() + frame.size()}; }
  std::shared_ptr<const uint32_t> kept;
};

// The kept frame is the back buffer's own memory until something other than the next
// Present to the same target would change it.
TEST(PresentedChanges, AKeptFrameStaysAsPresentedUntilItsTargetsNextFrame) {
  TestDevice t(16, 8);
  KeepingTarget first, second;
  const D3DRECT corner{0, 0, 4, 4};
  t.Clear(0xFF112233);
  ASSERT_EQ(t.device->Present(nullptr, nullptr, &first, nullptr), D3D_OK);
  const std::vector<uint32_t> shown = first.frame;
  ASSERT_EQ(first.Kept(), shown);
  // Drawn and read back, then written through a lock, before any Present.
  t.Clear(0xFF445566);
  EXPECT_NE(t.Pixels(), shown);
  EXPECT_EQ(first.Kept(), shown);
  IDirect3DSurface9* bb = nullptr;
  ASSERT_EQ(t.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &bb), D3D_OK);
  D3DLOCKED_RECT lr{};
  ASSERT_EQ(bb->LockRect(&lr, nullptr, 0), D3D_OK);
  *static_cast<uint32_t*>(lr.pBits) = 0xFFFFFFFFu;
  bb->UnlockRect();
  bb->Release();
  EXPECT_EQ(first.Kept(), shown);
  std::vector<uint32_t> last;
  ASSERT_TRUE(t.device->GetLastPresentedFrame(&last, nullptr, nullptr));
  EXPECT_EQ(last, shown);
  // Another target's frame leaves the first target's as it was.
  t.Clear(0xFF778899);
  t.device->Clear(1, &corner, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  ASSERT_EQ(t.device->Present(nullptr, nullptr, &second, nullptr), D3D_OK);
  EXPECT_EQ(first.Kept(), shown);
  EXPECT_EQ(second.Kept(), t.Pixels());
  // The same target's next frame comes through its kept frame and what changed.
  t.Clear(0xFF778899);
  ASSERT_EQ(t.device->Present(nullptr, nullptr, &second, nullptr), D3D_OK);
  EXPECT_EQ(second.Kept(), second.frame);
  EXPECT_EQ(second.frame, t.Pixels());
}

// One draw of a frame: the saver's kinds (an opaque own-size background, sprites,
// modulated glyphs, translucent panels) and some others.
struct FrameDraw {
  Quad quad;
  int texture;  // index into the frame's textures
  DWORD filter;
  bool blend;
  DWORD src, dst;
  bool alphaTest;
  bool longStrip;  // drawn as a strip on to a third column of vertices, at stripEnd
  float stripEnd;
};

FrameDraw RandomDraw(std::mt19937& rng) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  FrameDraw d{};
  const float x = static_cast<float>(pick(-10, 90)) + (pick(0, 3) == 0 ? 0.5f : 0.0f);
  const float y = static_cast<float>(pick(-10, 60));
  const float w = static_cast<float>(pick(1, 40)), h = static_cast<float>(pick(1, 30));
  const uint32_t colors[] = {0xFFFFFFFFu, 0xFF000000u, 0xFFFF0000u, 0x80FFFFFFu};
  d.quad = {x, y, x + w, y + h, 0, 0, pick(0, 1) ? 1.0f : 0.5f, 1, colors[pick(0, 3)]};
  d.texture = pick(0, 2);
  d.filter = pick(0, 1) ? D3DTEXF_LINEAR : D3DTEXF_POINT;
  d.blend = pick(0, 4) != 0;
  d.src = pick(0, 3) ? D3DBLEND_SRCALPHA : D3DBLEND_DESTCOLOR;
  d.dst = pick(0, 3) ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE;
  d.alphaTest = pick(0, 6) == 0;
  d.longStrip = pick(0, 4) == 0;
  d.stripEnd = x + w + static_cast<float>(pick(1, 20));
  return d;
}

struct Scene {
  std::vector<FrameDraw> draws;
  uint32_t clear = 0xFF000000;
};

void DrawScene(TestDevice& t, const Scene& scene, IDirect3DTexture9* const* textures) {
  t.Clear(scene.clear);
  t.Modulate();
  // The background: opaque, own size, linear.
  t.Blend(true);
  t.Filter(D3DTEXF_LINEAR);
  t.device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  t.device->SetTexture(0, textures[3]);
  t.Draw({0, 0, 96, 64});
  for (const FrameDraw& d : scene.draws) {
    t.device->SetTexture(0, textures[d.texture]);
    t.Filter(d.filter);
    t.Blend(d.blend, d.src, d.dst);
    t.device->SetRenderState(D3DRS_ALPHATESTENABLE, d.alphaTest);
    t.device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    t.device->SetRenderState(D3DRS_ALPHAREF, 0x40);
    if (!d.longStrip) {
      t.Draw(d.quad);
      continue;
    }
    const Quad& q = d.quad;
    const float x2 = d.stripEnd;
    const QuadVertex v[6] = {{q.x0, q.y1, 0.5f, 0.5f, q.color, 0, q.u0, q.v1},
                             {q.x0, q.y0, 0.5f, 0.5f, q.color, 0, q.u0, q.v0},
                             {q.x1, q.y1, 0.5f, 0.5f, q.color, 0, q.u1, q.v1},
                             {q.x1, q.y0, 0.5f, 0.5f, q.color, 0, q.u1, q.v0},
                             {x2, q.y1, 0.5f, 0.5f, q.color, 0, q.u0, q.v1},
                             {x2, q.y0, 0.5f, 0.5f, q.color, 0, q.u0, q.v0}};
    t.DrawStrip(v, 6);
  }
}

// Frames that differ from the one before by a few moved, recoloured or added draws (quads
// and longer strips), a relocked texture or another clear colour give the same pixels
// whether drawn whole or from the previous frame's pixels and what changed, on every
// rasteriser path.
class RedrawnFrames : public testing::TestWithParam<RasterPath> {};

TEST_P(RedrawnFrames, MatchFramesDrawnWhole) {
  TestDevice reused(96, 64), whole(96, 64);
  reused.device->SetRasterPath(GetParam());
  whole.device->SetRasterPath(GetParam());
  PatchTarget window;
  std::mt19937 rng(2026);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  IDirect3DTexture9* textures[2][4];
  auto fill = [&](int index, uint32_t seed) {
    for (int k = 0; k < 2; ++k) {
      TestDevice& t = k == 0 ? reused : whole;
      std::mt19937 texels(seed);
      const UINT size[4][2] = {{16, 8}, {21, 21}, {7, 5}, {96, 64}};
      textures[k][index] = t.Texture(size[index][0], size[index][1], [&](int, int) {
        const uint32_t v = static_cast<uint32_t>(texels());
        return index == 3 ? (v | 0xFF000000u) : (v >> 24 < 100 ? v & 0xFFFFFF : v);
      });
    }
  };
  for (int i = 0; i < 4; ++i) fill(i, static_cast<uint32_t>(rng()));
  Scene scene;
  for (int i = 0; i < 12; ++i) scene.draws.push_back(RandomDraw(rng));
  for (int frame = 0; frame < 300; ++frame) {
    switch (pick(0, 9)) {
      case 0:  // a draw comes or goes
        if (pick(0, 1) && scene.draws.size() > 3) {
          scene.draws.erase(scene.draws.begin() +
                            pick(0, static_cast<int>(scene.draws.size()) - 1));
        } else {
          scene.draws.insert(scene.draws.begin() + pick(0, static_cast<int>(scene.draws.size())),
                             RandomDraw(rng));
        }
        break;
      case 1: {  // a texture gets new texels, in place
        const int index = pick(0, 3);
        for (int k = 0; k < 2; ++k) {
          D3DLOCKED_RECT lr{};
          ASSERT_EQ(textures[k][index]->LockRect(0, &lr, nullptr, 0), D3D_OK);
          static_cast<uint32_t*>(lr.pBits)[0] ^= 0x00FFFFFFu;
          textures[k][index]->UnlockRect(0);
        }
        break;
      }
      case 2:
        scene.clear = pick(0, 1) ? 0xFF000000u : 0xFF203040u;
        break;
      case 3:  // nothing changes
        break;
      default: {  // a draw moves or changes
        FrameDraw& d =
            scene.draws[static_cast<size_t>(pick(0, static_cast<int>(scene.draws.size()) - 1))];
        if (d.longStrip && pick(0, 1)) {
          d.stripEnd += static_cast<float>(pick(1, 3));  // only the strip's last column
        } else if (pick(0, 2)) {
          const float dx = static_cast<float>(pick(-3, 3)), dy = static_cast<float>(pick(-3, 3));
          d.quad.x0 += dx;
          d.quad.x1 += dx;
          d.quad.y0 += dy;
          d.quad.y1 += dy;
          d.stripEnd += dx;
        } else {
          d = RandomDraw(rng);
        }
        break;
      }
    }
    DrawScene(reused, scene, textures[0]);
    DrawScene(whole, scene, textures[1]);
    ASSERT_EQ(reused.device->Present(nullptr, nullptr, &window, nullptr), D3D_OK);
    ASSERT_EQ(whole.device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    std::vector<uint32_t> expected;
    ASSERT_TRUE(whole.device->GetLastPresentedFrame(&expected, nullptr, nullptr));
    ASSERT_EQ(window.frame, expected) << "frame " << frame;
    // Reading the frame locks the back buffer, which makes the next frame draw whole.
    if (pick(0, 19) == 0) {
      ASSERT_EQ(reused.Pixels(), expected);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, RedrawnFrames,
                         testing::Values(RasterPath::Fast, RasterPath::FastSse2,
                                         RasterPath::Plain));

TEST(HeldBackDraws, ALongFrameWithoutPresentKeepsItsOrder) {
  TestDevice t(8, 4);
  for (int i = 0; i < 10000; ++i) {
    const D3DRECT r{i % 8, 0, i % 8 + 1, 4};
    t.device->Clear(1, &r, D3DCLEAR_TARGET, 0xFF000000u | static_cast<uint32_t>(i), 1.0f, 0);
  }
  ASSERT_EQ(t.device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  std::vector<uint32_t> frame;
  ASSERT_TRUE(t.device->GetLastPresentedFrame(&frame, nullptr, nullptr));
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(frame[static_cast<size_t>(x)], 0xFF000000u | static_cast<uint32_t>(9992 + x));
}

TEST(HeldBackDraws, FramesReadInsteadOfPresentedLeaveTheNextFramesExact) {
  // Frames read back (as a benchmark or a still tool does), then frames presented that
  // redraw only what moved: each must equal the same frame drawn on a fresh device.
  const auto frame = [](TestDevice& t, float x) {
    t.Clear(0xFF000000u);
    t.Draw({x, 1, x + 3, 5, 0, 0, 1, 1, 0xFF00FF00u});
    t.Draw({2, 2, 9, 7, 0, 0, 1, 1, 0xFFFF0000u});
  };
  const auto alone = [&](float x) {
    TestDevice fresh(16, 8);
    frame(fresh, x);
    return fresh.Pixels();
  };
  TestDevice t(16, 8);
  for (const float x : {0.0f, 1.0f, 2.0f}) {
    frame(t, x);
    EXPECT_EQ(t.Pixels(), alone(x)) << x;
  }
  for (const float x : {3.0f, 3.0f, 6.0f, 1.0f}) {
    frame(t, x);
    ASSERT_EQ(t.device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    std::vector<uint32_t> presented;
    ASSERT_TRUE(t.device->GetLastPresentedFrame(&presented, nullptr, nullptr));
    EXPECT_EQ(presented, alone(x)) << x;
  }
}

TEST(HeldBackDraws, SeeTexturesAsTheyWereWhenDrawn) {
  TestDevice t(8, 4);
  IDirect3DTexture9* texture = t.Texture(1, 1, [](int, int) { return 0xFFFF0000u; });
  texture->AddRef();  // the fixture's reference goes at its end; this one goes below
  t.Clear(0xFF000000);
  t.device->SetTexture(0, texture);
  t.Draw({0, 0, 2, 4});
  D3DLOCKED_RECT lr{};
  ASSERT_EQ(texture->LockRect(0, &lr, nullptr, 0), D3D_OK);
  *static_cast<uint32_t*>(lr.pBits) = 0xFF00FF00u;
  texture->UnlockRect(0);
  t.Draw({2, 0, 4, 4});
  IDirect3DTexture9* doomed = t.Texture(1, 1, [](int, int) { return 0xFF0000FFu; });
  t.device->SetTexture(0, doomed);
  t.Draw({4, 0, 6, 4});
  t.device->SetTexture(0, nullptr);
  t.textures.pop_back();
  EXPECT_EQ(doomed->Release(), 0u);  // gone before the frame is presented
  EXPECT_EQ(texture->Release(), 1u);
  ASSERT_EQ(t.device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  std::vector<uint32_t> frame;
  ASSERT_TRUE(t.device->GetLastPresentedFrame(&frame, nullptr, nullptr));
  EXPECT_EQ(frame[0], 0xFFFF0000u);
  EXPECT_EQ(frame[2], 0xFF00FF00u);
  EXPECT_EQ(frame[4], 0xFF0000FFu);
  EXPECT_EQ(frame[6], 0xFF000000u);
}

}  // namespace
