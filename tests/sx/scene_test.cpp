#include "sx/scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/d3d9/kept_frame.h"
#include "sx/sx_fixture.h"

namespace sx {
namespace {

using testing::SxTest;

struct Quad {
  TSXVertex v[4];
};

Quad MakeQuad(float width, float height, std::uint32_t colour = 0xFFFFFFFF) {
  return Quad{{MakeVertex(0, 0, colour, 0, 0), MakeVertex(width, 0, colour, 1, 0),
               MakeVertex(0, height, colour, 0, 1), MakeVertex(width, height, colour, 1, 1)}};
}

class SceneTest : public SxTest {
 protected:
  void SetUp() override {
    SxTest::SetUp();
    scene_ = std::make_unique<TSXScene>(*carad_, "");
  }
  void TearDown() override {
    scene_.reset();
    SxTest::TearDown();
  }

  void Add(dg::TDGTexture* texture, std::int32_t mode, float z, TSXLayer layer = TSXLayer::Scene,
           TSXFilter filter = TSXFilter::Point, data::TVec2 at = {0, 0}) {
    const Quad quad = MakeQuad(4, 4);
    scene_->AddQuad(at, quad.v, texture, mode, filter, layer, z);
  }

  CallRecorder& Recorder() const { return carad_->Device()->Recorder(); }

  // Renders with the recorder on and returns the recorded calls.
  std::vector<D3DCall> RecordRender() {
    Recorder().Clear();
    Recorder().Start();
    scene_->Render();
    Recorder().Stop();
    return Recorder().Calls();
  }

  // The non-null textures set, in order: with one texture per quad, the drawing order.
  static std::vector<std::uint64_t> TexturesSet(const std::vector<D3DCall>& calls) {
    std::vector<std::uint64_t> set;
    for (const D3DCall& call : calls) {
      if (call.Is("SetTexture") && call.args[1] != 0) set.push_back(call.args[1]);
    }
    return set;
  }

  static std::vector<std::size_t> DrawIndexes(const std::vector<D3DCall>& calls) {
    std::vector<std::size_t> draws;
    for (std::size_t i = 0; i < calls.size(); ++i) {
      if (calls[i].Is("DrawPrimitiveUP")) draws.push_back(i);
    }
    return draws;
  }

  std::unique_ptr<TSXScene> scene_;
};

TEST_F(SceneTest, ConstructionRegistersAndAppliesViewportProjectionAndSixModes) {
  const std::vector<std::int32_t> ids = carad_->ResourceIDs();
  ASSERT_EQ(ids.size(), 1u);
  EXPECT_EQ(ids[0], scene_->ResourceID());

  struct Row {
    bool sorted;
    int alphaTest;
    D3DCMPFUNC alphaFunc;
    bool blend;
    D3DBLEND src, dest;
    D3DBLENDOP op;
  };
  const Row expected[] = {
      {false, 0, D3DCMP_ALWAYS, false, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD},
      {true, 0, D3DCMP_ALWAYS, true, D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD},
      {true, 0, D3DCMP_ALWAYS, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD},
      {true, 0, D3DCMP_ALWAYS, true, D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR, D3DBLENDOP_ADD},
      {true, 0, D3DCMP_ALWAYS, true, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DBLENDOP_ADD},
      {false, 1, D3DCMP_GREATER, false, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD}};
  ASSERT_EQ(scene_->BlendModeCount(), 6u);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const TSXBlendMode& mode = *scene_->BlendMode(i);
    EXPECT_EQ(mode.sorted, expected[i].sorted);
    EXPECT_EQ(mode.alphaTest, expected[i].alphaTest);
    EXPECT_EQ(mode.alphaFunc, expected[i].alphaFunc);
    EXPECT_EQ(mode.blendEnable, expected[i].blend);
    EXPECT_EQ(mode.srcBlend, expected[i].src);
    EXPECT_EQ(mode.destBlend, expected[i].dest);
    EXPECT_EQ(mode.blendOp, expected[i].op);
  }
  EXPECT_EQ(scene_->BlendMode(6), nullptr);
  EXPECT_EQ(scene_->BlendMode(-1), nullptr);

  D3DVIEWPORT9 viewport{};
  Device()->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 640u);
  EXPECT_EQ(viewport.Height, 480u);
  EXPECT_EQ(viewport.MaxZ, 1.0f);

  // fov pi/2: cot(fov/2) = 1; aspect = 480 / 640.
  D3DMATRIX projection{};
  Device()->GetTransform(D3DTS_PROJECTION, &projection);
  EXPECT_NEAR(projection._11, 0.75f, 1e-6);
  EXPECT_NEAR(projection._22, 1.0f, 1e-6);
  EXPECT_NEAR(projection._33, 10000.0f / (10000.0f - 0.01f), 1e-6);
  EXPECT_EQ(projection._34, 1.0f);
  EXPECT_NEAR(projection._43, -0.01f * projection._33, 1e-9);
  EXPECT_EQ(projection._44, 0.0f);
  EXPECT_TRUE(scene_->BlendOpSupported());

  scene_.reset();
  EXPECT_TRUE(carad_->ResourceIDs().empty());
}

TEST_F(SceneTest, EmptyQueuesSetStartingStatesOnlyAndLeaveTheFiltersAlone) {
  const std::vector<D3DCall> calls = RecordRender();
  EXPECT_EQ(Recorder().Count("DrawPrimitiveUP"), 0u);
  EXPECT_EQ(Recorder().Count("GetSamplerState"), 0u);
  EXPECT_EQ(Recorder().Count("SetSamplerState"), 0u);
  // Three passes of 7 render states and 6 stage states each, plus the view, the six
  // depth states around the overlay pass and the final texture reset.
  EXPECT_EQ(Recorder().Count("SetTextureStageState"), 18u);
  EXPECT_EQ(Recorder().Count("SetRenderState"), 21u + 6u);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().Text(), Recorder().Lines("SetTransform").front());
  EXPECT_TRUE(calls.front().Is("SetTransform"));
  EXPECT_EQ(calls.front().args[0], D3DTS_VIEW);
  EXPECT_TRUE(calls.back().Is("SetTexture"));
  EXPECT_EQ(calls.back().args[1], 0u);
}

TEST_F(SceneTest, OpaqueInAddingOrderThenTranslucentFarToNearThenOverlay) {
  struct Entry {
    std::int32_t mode;
    float z;
    TSXLayer layer;
  };
  // Index in this table = the texture's number.
  const Entry entries[] = {
      {sxbmAlphaBlend, 0.2f, TSXLayer::Scene},    // 0 translucent
      {sxbmOpaque, 0.9f, TSXLayer::Scene},        // 1 opaque
      {sxbmAlphaBlend, 0.9f, TSXLayer::Overlay},  // 2 overlay, first
      {sxbmAdditive, 0.8f, TSXLayer::Scene},      // 3 translucent, farthest
      {sxbmCutOut, 0.1f, TSXLayer::Scene},        // 4 opaque (cut-out)
      {sxbmMultiply, 0.5f, TSXLayer::Scene},      // 5 translucent
      {sxbmOpaque, 0.0f, TSXLayer::Overlay},      // 6 overlay, second, even though opaque
      {sxbmDarken, 0.6f, TSXLayer::Scene},        // 7 translucent
  };
  std::vector<dg::TDGTexture*> textures;
  for (const Entry& entry : entries) {
    textures.push_back(MakeTexture(4, 4));
    Add(textures.back(), entry.mode, entry.z, entry.layer);
  }
  EXPECT_EQ(scene_->OverlayQueue().Quad(0).z, 0.0f);
  EXPECT_EQ(scene_->OpaqueQueue().Count(), 2u);
  EXPECT_EQ(scene_->TranslucentQueue().Count(), 4u);

  const std::vector<D3DCall> calls = RecordRender();
  std::vector<std::uint64_t> expected;
  for (int index : {1, 4, 3, 7, 5, 0, 2, 6}) expected.push_back(Address(textures[index]));
  EXPECT_EQ(TexturesSet(calls), expected);
  EXPECT_EQ(DrawIndexes(calls).size(), 8u);
  EXPECT_EQ(scene_->OverlayQueue().Count(), 0u);
  EXPECT_EQ(scene_->TranslucentQueue().Count(), 0u);

  // Queues hold one frame only.
  RecordRender();
  EXPECT_EQ(Recorder().Count("DrawPrimitiveUP"), 0u);
}

TEST_F(SceneTest, RunsOfOneTextureAndModeIssueNoStateCallsBetweenDraws) {
  dg::TDGTexture* a = MakeTexture(4, 4);
  dg::TDGTexture* b = MakeTexture(4, 4);
  Add(a, sxbmAlphaBlend, 0, TSXLayer::Overlay);
  Add(a, sxbmAlphaBlend, 0, TSXLayer::Overlay);
  Add(b, sxbmAlphaBlend, 0, TSXLayer::Overlay);                   // texture changes only
  Add(b, sxbmAdditive, 0, TSXLayer::Overlay);                     // mode changes only
  Add(b, sxbmAdditive, 0, TSXLayer::Overlay, TSXFilter::Linear);  // filter changes only

  const std::vector<D3DCall> calls = RecordRender();
  const std::vector<std::size_t> draws = DrawIndexes(calls);
  ASSERT_EQ(draws.size(), 5u);
  auto between = [&](int k) {
    std::vector<std::string> lines;
    for (std::size_t i = draws[k] + 1; i < draws[k + 1]; ++i) lines.push_back(calls[i].Text());
    return lines;
  };
  EXPECT_EQ(between(0), std::vector<std::string>{"SetFVF(452)"});
  ASSERT_EQ(between(1).size(), 2u);
  EXPECT_EQ(between(1)[0].rfind("SetTexture(0, ", 0), 0u);
  const std::vector<std::string> modeChange = between(2);
  const std::vector<std::string> expectedModeChange = {
      "SetRenderState(D3DRS_ALPHABLENDENABLE, 1)", "SetRenderState(D3DRS_ZWRITEENABLE, 0)",
      "SetRenderState(D3DRS_SRCBLEND, 5)",         "SetRenderState(D3DRS_DESTBLEND, 2)",
      "SetRenderState(D3DRS_BLENDOP, 1)",          "SetFVF(452)"};
  EXPECT_EQ(modeChange, expectedModeChange);
  const std::vector<std::string> filterChange = {"SetSamplerState(0, D3DSAMP_MAGFILTER, 2)",
                                                 "SetSamplerState(0, D3DSAMP_MINFILTER, 2)",
                                                 "SetFVF(452)"};
  EXPECT_EQ(between(3), filterChange);
}

TEST_F(SceneTest, FirstQuadOfAPassSavesTheFiltersWhichAreRestoredAfterIt) {
  Device()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC);
  Device()->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_NONE);
  Add(MakeTexture(4, 4), sxbmOpaque, 0.5f, TSXLayer::Scene, TSXFilter::Linear);
  RecordRender();
  EXPECT_EQ(Recorder().Count("GetSamplerState"), 2u);
  DWORD mag = 0, min = 0;
  Device()->GetSamplerState(0, D3DSAMP_MAGFILTER, &mag);
  Device()->GetSamplerState(0, D3DSAMP_MINFILTER, &min);
  EXPECT_EQ(mag, static_cast<DWORD>(D3DTEXF_ANISOTROPIC));
  EXPECT_EQ(min, static_cast<DWORD>(D3DTEXF_NONE));
}

TEST_F(SceneTest, BlendModesSetTheirStatesAndBlendOpOnlyWhereSupported) {
  // The cut-out mode after the opaque one in the opaque pass: alpha test on, no blending.
  Add(MakeTexture(4, 4), sxbmOpaque, 0.5f);
  Add(MakeTexture(4, 4), sxbmCutOut, 0.5f);
  std::vector<std::string> lines;
  for (const D3DCall& call : RecordRender()) lines.push_back(call.Text());
  auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("SetRenderState(D3DRS_ALPHATESTENABLE, 1)"));
  EXPECT_TRUE(has("SetRenderState(D3DRS_ALPHAFUNC, 5)"));
  EXPECT_FALSE(has("SetRenderState(D3DRS_SRCBLEND, 5)"));

  scene_.reset();
  carad_.reset();
  SoftwareDeviceOptions options = DefaultSoftwareDeviceOptions();
  SoftwareDeviceOptions noBlendOp = options;
  noBlendOp.blendOp = false;
  SetDefaultSoftwareDeviceOptions(noBlendOp);
  carad_ = std::make_unique<dg::TDGCarad>(nullptr);
  carad_->SetDebugOption(dg::dgoDebugMessage);
  carad_->Loaded();
  SetDefaultSoftwareDeviceOptions(options);
  scene_ = std::make_unique<TSXScene>(*carad_, "");
  EXPECT_FALSE(scene_->BlendOpSupported());
  Add(nullptr, sxbmAdditive, 0.5f);
  RecordRender();
  const std::vector<std::string> states = Recorder().Lines("SetRenderState");
  EXPECT_EQ(std::count(states.begin(), states.end(), "SetRenderState(D3DRS_BLENDOP, 1)"), 0);
  EXPECT_EQ(std::count(states.begin(), states.end(), "SetRenderState(D3DRS_SRCBLEND, 5)"), 1);
  EXPECT_EQ(Recorder().Count("DrawPrimitiveUP"), 1u);
}

TEST_F(SceneTest, The33rdQuadDoublesTheCapacityAndKeepsTheFirst32) {
  const TSXRenderingQueue& queue = scene_->OverlayQueue();
  EXPECT_EQ(queue.Capacity(), 32u);
  for (int i = 0; i < 33; ++i) {
    Add(nullptr, sxbmAlphaBlend, 0, TSXLayer::Overlay, TSXFilter::Point,
        {static_cast<float>(i), 0});
  }
  EXPECT_EQ(queue.Capacity(), 64u);
  ASSERT_EQ(queue.Count(), 33u);
  for (int i = 0; i < 33; ++i) EXPECT_EQ(queue.Quad(i).x, static_cast<float>(i));
  RecordRender();
  EXPECT_EQ(Recorder().Count("DrawPrimitiveUP"), 33u);
  EXPECT_EQ(queue.Capacity(), 64u);  // kept for the next frame
}

TEST_F(SceneTest, NegativeDepthIsNeitherDrawnNorSorted) {
  dg::TDGTexture* opaque = MakeTexture(4, 4);
  Add(opaque, sxbmOpaque, -0.25f);
  Add(MakeTexture(4, 4), sxbmAlphaBlend, -0.5f);
  Add(MakeTexture(4, 4), sxbmAlphaBlend, std::nanf(""));
  const std::vector<D3DCall> calls = RecordRender();
  EXPECT_EQ(Recorder().Count("DrawPrimitiveUP"), 0u);
  // The opaque quad still sets its states (and so reads and restores the filters); the
  // translucent ones never take part.
  EXPECT_EQ(TexturesSet(calls), std::vector<std::uint64_t>{Address(opaque)});
  EXPECT_EQ(Recorder().Count("GetSamplerState"), 2u);
  EXPECT_EQ(Recorder().Count("SetSamplerState"), 4u);
}

TEST_F(SceneTest, UnknownBlendModeIsDroppedAndLogged) {
  const std::int32_t linesBefore = dg::LogLineCount;
  Add(nullptr, 6, 0.5f);
  Add(nullptr, -1, 0.5f, TSXLayer::Overlay);
  EXPECT_EQ(scene_->OpaqueQueue().Count() + scene_->TranslucentQueue().Count() +
                scene_->OverlayQueue().Count(),
            0u);
  EXPECT_EQ(dg::LogLineCount, linesBefore + 2);
}

TEST_F(SceneTest, QuadLandsAtItsPositionAndModulatesTheTexture) {
  dg::TDGTexture* texture = MakeTexture(4, 4, 0xFF8040C0);
  scene_->Clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  const Quad quad = MakeQuad(4, 4, 0xFFFFFF00);  // blue to 0
  scene_->AddQuad({10, 20}, quad.v, texture, sxbmOpaque, TSXFilter::Point, TSXLayer::Scene, 0.5f);
  Device()->BeginScene();
  scene_->Render();
  Device()->EndScene();
  const std::vector<std::uint32_t> frame = PresentAndRead();
  for (int y = 18; y < 26; ++y) {
    for (int x = 8; x < 16; ++x) {
      const bool inside = x >= 10 && x < 14 && y >= 20 && y < 24;
      EXPECT_EQ(frame[static_cast<std::size_t>(y) * 640 + x] & 0xFFFFFF, inside ? 0x804000u : 0u)
          << x << "," << y;
    }
  }
}

// On a device that keeps its frames, a frame like the last one is drawn only in the box
// where a quad moved, and so is the last frame repeated with a quad replaced; both come out
// as the frames drawn whole.
TEST_F(SceneTest, AFrameLikeTheLastIsDrawnOnlyWhereItDiffers) {
  const bool kept = KeepsPresentedFrame(*Device());
  dg::TDGTexture* red = MakeTexture(8, 8, 0x80FF0000);
  dg::TDGTexture* green = MakeTexture(8, 8, 0xFF00FF00);
  const Quad quad = MakeQuad(8, 8);
  const auto queue = [&](float greenX) {
    scene_->Clear(D3DCLEAR_TARGET, 0xFF000010, 1.0f, 0);
    for (const auto& [texture, x] : {std::pair{red, 10.0f}, {green, greenX}, {red, 200.0f}})
      scene_->AddQuad({x, 10}, quad.v, texture, sxbmAlphaBlend, TSXFilter::Point, TSXLayer::Overlay,
                      0);
  };
  const auto draw = [&] {
    Device()->BeginScene();
    const std::size_t draws = DrawIndexes(RecordRender()).size();
    Device()->EndScene();
    return std::pair{draws, PresentAndRead()};
  };
  const auto whole = [&](const std::function<void()>& compose) {
    scene_->SetRedraw(TSXRedraw::Whole);
    compose();
    const auto frame = draw().second;
    scene_->SetRedraw(TSXRedraw::Changes);
    compose();
    draw();
    return frame;
  };
  queue(100);
  draw();
  queue(104);
  const auto [moved, movedFrame] = draw();
  EXPECT_EQ(moved, kept ? 1u : 3u);
  EXPECT_EQ(scene_->RedrawnBoxes(), kept ? 1u : 0u);
  EXPECT_EQ(movedFrame, whole([&] { queue(104); }));

  ASSERT_TRUE(scene_->RepeatLastFrame());
  EXPECT_FALSE(scene_->RepeatLastFrame());  // once a frame
  scene_->ReplaceOverlayQuad(1, {110, 10}, quad.v, green, sxbmAlphaBlend, TSXFilter::Point);
  const auto [replaced, replacedFrame] = draw();
  EXPECT_EQ(replaced, kept ? 1u : 3u);
  EXPECT_EQ(replacedFrame, whole([&] { queue(110); }));
}

TEST_F(SceneTest, NewDeviceGetsTheStoredViewportAndProjection) {
  scene_->SetViewport(10, 20, 330, 260);
  scene_->SetProjection(1.0f, 2.0f, 1.0f, 100.0f);
  Add(nullptr, sxbmAlphaBlend, 0, TSXLayer::Overlay);
  carad_->SwitchToWindow(640, 480, {}, 0, D3DSWAPEFFECT_DISCARD, D3DMULTISAMPLE_NONE, 0);
  D3DVIEWPORT9 viewport{};
  Device()->GetViewport(&viewport);
  EXPECT_EQ(viewport.X, 10u);
  EXPECT_EQ(viewport.Y, 20u);
  EXPECT_EQ(viewport.Width, 320u);
  EXPECT_EQ(viewport.Height, 240u);
  D3DMATRIX projection{};
  Device()->GetTransform(D3DTS_PROJECTION, &projection);
  EXPECT_EQ(std::memcmp(&projection, &scene_->Projection(), sizeof(projection)), 0);
  EXPECT_NEAR(projection._22, std::cos(0.5f) / std::sin(0.5f), 1e-6);
  EXPECT_NEAR(projection._11, 2.0f * projection._22, 1e-6);
  EXPECT_EQ(scene_->OverlayQueue().Count(), 1u);  // queued quads stay queued
}

// A wrapper that ends before its scene destroys it: the scene drops what it had queued (the
// textures may be gone too), keeps nothing it is given afterwards past a Render, and never
// reaches for the freed wrapper again, in its setters or its destructor (the sanitized suites
// see any such touch).
TEST_F(SceneTest, WrapperDestroyingTheSceneLeavesItInert) {
  const auto queued = [this] {
    return scene_->OpaqueQueue().Count() + scene_->TranslucentQueue().Count() +
           scene_->OverlayQueue().Count();
  };
  Add(MakeTexture(4, 4), sxbmOpaque, 0.5f);
  Add(MakeTexture(4, 4), sxbmAlphaBlend, 0.5f);
  Add(MakeTexture(4, 4), sxbmAlphaBlend, 0, TSXLayer::Overlay);
  ASSERT_EQ(queued(), 3u);
  textures_.clear();
  carad_.reset();
  EXPECT_EQ(queued(), 0u);

  Add(nullptr, sxbmAlphaBlend, 0, TSXLayer::Overlay);
  EXPECT_EQ(queued(), 1u);
  scene_->Render();
  EXPECT_EQ(queued(), 0u);
  scene_->SetViewport(0, 0, 320, 240);
  scene_->SetProjection(1.0f, 1.0f, 1.0f, 10.0f);
  scene_->Clear(D3DCLEAR_TARGET, 0, 1.0f, 0);
  EXPECT_EQ(scene_->Viewport().Width, 320u);
  scene_.reset();
}

}  // namespace
}  // namespace sx
