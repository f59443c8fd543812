#include "dg/carad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "dg/dg_fixture.h"
#include "platform/d3d9/present_target.h"

namespace dg {
namespace {

using namespace dg_test;

// Remembers the notifications it receives, in one list shared by several objects.
class Recorder final : public TDGResource {
 public:
  Recorder(TDGCarad& carad, std::string name, std::vector<std::string>* events)
      : carad_(&carad), name_(std::move(name)), events_(events) {
    id = carad.RegisterResource(this, name_);
  }
  ~Recorder() override { DestroyByWrapper(); }
  const char* ClassName() const override { return "Recorder"; }
  void DeviceRelease() override { events_->push_back("release " + name_); }
  void DeviceRebuild() override {
    events_->push_back("rebuild " + name_ + (carad_->Device() != nullptr ? " with device" : ""));
  }
  void DestroyByWrapper() override {
    if (carad_ == nullptr) return;
    events_->push_back("destroy " + name_);
    carad_->UnregisterResource(id);
    carad_ = nullptr;
  }
  std::int32_t id = -1;

 private:
  TDGCarad* carad_;
  std::string name_;
  std::vector<std::string>* events_;
};

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& text,
                    std::size_t from = 0) {
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (lines[i].find(text) != std::string::npos) return i;
  }
  return lines.size();
}

TEST_F(DGTest, StartUpLogsEveryPhaseAndMakesAWindowedDeviceOfTheClientSize) {
  FrameTarget window(320, 200);
  TDGCarad& carad = StartCarad({}, &window);
  ASSERT_NE(carad.Device(), nullptr);
  EXPECT_TRUE(carad.Windowed());
  EXPECT_EQ(carad.ScreenWidth(), 320u);
  EXPECT_EQ(carad.ScreenHeight(), 200u);
  EXPECT_EQ(carad.BackBufferFormat(), D3DFMT_X8R8G8B8);  // the desktop's format
  EXPECT_EQ(carad.DeviceType(), D3DDEVTYPE_HAL);
  EXPECT_EQ(carad.BackBufferCount(), 1u);
  EXPECT_NE(carad.BackBuffers(0), nullptr);

  const std::vector<std::string> expected = {
      "",
      "■■■起動時の初期化をします■■■",
      "  Direct3Dを生成します",
      "  ウィンドウのクライアント領域のサイズに合わせて初期化を開始します",
      "  ",
      "  ■■■Windowモードへ移行します■■■",
      "    ",
      "    ■■■Direct3Dデバイスを解放します■■■",
      "      全てのDGCaradリソースを解放します",
      "    ■■■Direct3Dデバイスを解放しました■■■",
      "    ",
      "    ",
      "    ■■■画面モードを初期化します■■■",
      "      Driver : velmorandi-swd3d9",
      "      Description : Velmorandi software Direct3D 9 rasteriser",
      "      VendorID : 00000000, DeviceID : 00000000, SubSysID : 00000000, Revision : 00000000",
      "      ウィンドウモード 320x200で初期化します",
      "      ハードウェアアクセラレーションを利用します",
      "      希望のデプスステンシルサーフェスのフォーマットが見つかりませんでした",
      "      デプスステンシルサーフェスのフォーマット...UNKNOWN",
      "      ハードウェアT&Lを利用します",
      "      Direct3DDeviceオブジェクトの生成を行います",
      "      全てのDGCaradリソースを再構築します",
      "    ■■■画面モードを初期化しました■■■",
      "    ",
      "  ■■■Windowモードへ移行しました■■■",
      "  ",
      "■■■DGCarad 起動しました■■■",
      "",
  };
  EXPECT_EQ(LogMessages(), expected);
}

TEST_F(DGTest, DepthListDecidesTheDepthSurface) {
  struct Case {
    std::vector<D3DFORMAT> depthFormats;
    bool expectSurface;
    const char* logged;
  };
  const Case cases[] = {
      {{}, false, "デプスステンシルサーフェスのフォーマット...UNKNOWN"},
      {{D3DFMT_D15S1, D3DFMT_D24S8}, true, "デプスステンシルサーフェスのフォーマット...D24S8"},
  };
  TDGCarad& carad = StartCarad();
  for (const Case& c : cases) {
    ClearLog();
    carad.SwitchToWindow(64, 48, c.depthFormats, D3DPRESENT_INTERVAL_DEFAULT, D3DSWAPEFFECT_DISCARD,
                         D3DMULTISAMPLE_NONE, 0);
    ASSERT_NE(carad.Device(), nullptr);
    EXPECT_EQ(carad.DepthStencil() != nullptr, c.expectSurface);
    EXPECT_EQ(carad.PresentParams().EnableAutoDepthStencil != 0, c.expectSurface);
    const std::vector<std::string> lines = LogMessages();
    const std::size_t format = IndexOf(lines, c.logged);
    ASSERT_LT(format, lines.size()) << c.logged;
    const bool notFoundLogged =
        format > 0 && lines[format - 1].find(
                          "希望のデプスステンシルサーフェスのフォーマットが見つかりませんでした") !=
                          std::string::npos;
    EXPECT_EQ(notFoundLogged, !c.expectSurface);
  }
}

TEST_F(DGTest, DeviceTypeAndVertexProcessingFollowTheSettingsAndTheHardware) {
  struct Case {
    bool useREF, useSoftwareVP, hardwareTnL, halAvailable;
    D3DDEVTYPE type;
    const char* logged;
  };
  const Case cases[] = {
      {false, false, true, true, D3DDEVTYPE_HAL, "ハードウェアT&Lを利用します"},
      {true, false, true, true, D3DDEVTYPE_REF, "ソフトウェアエミュレーションを利用します"},
      {false, true, true, true, D3DDEVTYPE_HAL, "ソフトウェアT&Lを利用します"},
      {false, false, false, true, D3DDEVTYPE_HAL, "ソフトウェアT&Lを利用します"},
      {false, false, true, false, D3DDEVTYPE_REF, "ソフトウェアエミュレーションを利用します"},
  };
  for (const Case& c : cases) {
    SoftwareDeviceOptions options;
    options.hardwareTransformAndLight = c.hardwareTnL;
    options.halAvailable = c.halAvailable;
    SetDefaultSoftwareDeviceOptions(options);
    carad_ = std::make_unique<TDGCarad>(nullptr);
    carad_->SetDebugOption(dgoDebugMessage | dgoDetailedLog);
    carad_->UseREFDevice = c.useREF;
    carad_->UseSoftwareVertexProcessing = c.useSoftwareVP;
    ClearLog();
    carad_->Loaded();
    ASSERT_NE(carad_->Device(), nullptr);
    EXPECT_EQ(carad_->DeviceType(), c.type);
    EXPECT_TRUE(LogHas(c.logged)) << c.logged;
    for (const char* line : {"ハードウェアT&Lを利用します", "ソフトウェアT&Lを利用します",
                             "ソフトウェアエミュレーションを利用します"}) {
      EXPECT_EQ(LogHas(line), std::string(line) == c.logged) << line;
    }
    carad_.reset();
  }
}

TEST_F(DGTest, RegistryIdsGrowAndKeepRegistrationOrder) {
  TDGCarad& carad = StartCarad();
  std::vector<std::string> events;
  auto a = std::make_unique<Recorder>(carad, "a", &events);
  auto b = std::make_unique<Recorder>(carad, "b", &events);
  auto c = std::make_unique<Recorder>(carad, "c", &events);
  b.reset();
  auto d = std::make_unique<Recorder>(carad, "d", &events);
  EXPECT_EQ(a->id, 0);
  EXPECT_EQ(c->id, 2);
  EXPECT_EQ(d->id, 3);
  EXPECT_EQ(carad.ResourceIDs(), (std::vector<std::int32_t>{0, 2, 3}));
  EXPECT_TRUE(LogHas("DGCaradリソース(Recorder)を登録します ID は 3(d) です"));
  EXPECT_TRUE(LogHas("DGCaradリソース(Recorder) : ID 1(b) を登録解除します"));

  events.clear();
  carad.SwitchToWindow(100, 80, {}, D3DPRESENT_INTERVAL_DEFAULT, D3DSWAPEFFECT_DISCARD,
                       D3DMULTISAMPLE_NONE, 0);
  EXPECT_EQ(events, (std::vector<std::string>{"release a", "release c", "release d",
                                              "rebuild a with device", "rebuild c with device",
                                              "rebuild d with device"}));
}

TEST_F(DGTest, UnregisteringAnUnknownIdIsReportedAndChangesNothing) {
  TDGCarad& carad = StartCarad();
  std::vector<std::string> events;
  Recorder a(carad, "a", &events);
  carad.UnregisterResource(7);
  EXPECT_TRUE(
      LogHas("リストに入ってないDGCaradリソース(ID:7)が、UnregisterResource手続きに渡されました"
             "(Error Code = UNKNOWN ERROR ... $00000001)"));
  EXPECT_EQ(carad.ResourceIDs(), std::vector<std::int32_t>{0});
}

TEST_F(DGTest, DestroyingTheWrapperDestroysLiveResourcesBeforeTheDevice) {
  StartCarad();
  auto texture = MakeTexture();
  texture->SetSize(16, 16);
  std::vector<std::string> events;
  auto recorder = std::make_unique<Recorder>(*carad_, "r", &events);
  ClearLog();
  carad_.reset();

  const std::vector<std::string> lines = LogMessages();
  const std::size_t notReleased =
      IndexOf(lines, "ID 0() のDGCaradリソースは、明示的に解放されていません");
  const std::size_t textureFreed =
      IndexOf(lines, "テクスチャオブジェクトを解放します", notReleased);
  const std::size_t unregistered =
      IndexOf(lines, "DGCaradリソース(TDGTexture) : ID 0() を登録解除します", textureFreed);
  const std::size_t second =
      IndexOf(lines, "ID 1(r) のDGCaradリソースは、明示的に解放されていません", unregistered);
  const std::size_t deviceFreed =
      IndexOf(lines, "Direct3DDeviceオブジェクトの解放を行います", second);
  const std::size_t bye = IndexOf(lines, "■■■それではごきげんよう■■■", deviceFreed);
  EXPECT_LT(bye, lines.size()) << Log();
  // Every release returned a count of 0: nothing was still holding the device.
  EXPECT_FALSE(LogHas("Error Code")) << Log();
  EXPECT_EQ(events, std::vector<std::string>{"destroy r"});
  // The owners may still destroy their objects.
  EXPECT_EQ(texture->Texture(), nullptr);
  texture.reset();
  recorder.reset();
}

TEST_F(DGTest, FullScreenAndBackToWindow) {
  FrameTarget window(300, 200);
  TDGCarad& carad = StartCarad({}, &window);
  carad.SwitchToFullScreen(640, 480, D3DFMT_A8R8G8B8, {}, 0, D3DPRESENT_INTERVAL_IMMEDIATE,
                           D3DSWAPEFFECT_DISCARD, D3DMULTISAMPLE_NONE, 0);
  ASSERT_NE(carad.Device(), nullptr);
  EXPECT_FALSE(carad.Windowed());
  EXPECT_EQ(carad.BackBufferFormat(), D3DFMT_A8R8G8B8);
  EXPECT_EQ(carad.ScreenWidth(), 640u);
  EXPECT_EQ(window.GetMode(), PresentTarget::Mode::FullScreen);
  EXPECT_TRUE(LogHas("フルスクリーンモード 640x480 0Hz A8R8G8B8 で初期化します"));
  EXPECT_TRUE(LogHas("新しいデバイスの生成の前に、全ての関連オブジェクトを解放します"));

  carad.SwitchToWindow(400, 300, {}, D3DPRESENT_INTERVAL_DEFAULT, D3DSWAPEFFECT_DISCARD,
                       D3DMULTISAMPLE_NONE, 0);
  ASSERT_NE(carad.Device(), nullptr);
  EXPECT_TRUE(carad.Windowed());
  // Released before the mode was asked for: the desktop's format, not the full screen's.
  EXPECT_EQ(carad.BackBufferFormat(), D3DFMT_X8R8G8B8);
  EXPECT_EQ(window.ClientWidth(), 400);
  EXPECT_EQ(window.ClientHeight(), 300);
  EXPECT_EQ(window.GetMode(), PresentTarget::Mode::Windowed);
}

TEST_F(DGTest, OneWrapperPerWindow) {
  FrameTarget window(64, 48);
  StartCarad({}, &window);
  try {
    TDGCarad second(&window);
    ADD_FAILURE() << "a second wrapper was made for the window";
  } catch (const EDGCaradError& error) {
    EXPECT_STREQ(error.what(), "DGCaradコンポーネントを、同一フォームに2つ以上貼る事はできません");
  }
  carad_.reset();
  EXPECT_NO_THROW(TDGCarad again(&window));
  // Headless wrappers share no window.
  TDGCarad headless1(nullptr);
  EXPECT_NO_THROW(TDGCarad headless2(nullptr));
}

TEST_F(DGTest, WithoutDirect3DNothingIsCreated) {
  SoftwareDeviceOptions options;
  options.direct3DAvailable = false;
  TDGCarad& carad = StartCarad(options);
  EXPECT_EQ(carad.D3D(), nullptr);
  EXPECT_EQ(carad.Device(), nullptr);
  EXPECT_TRUE(LogHas(
      "Direct3Dオプジェクトすら生成できません、論外(Error Code = UNKNOWN ERROR ... $00000001)"));
  carad.SwitchToWindow(10, 10, {}, 0, D3DSWAPEFFECT_DISCARD, D3DMULTISAMPLE_NONE, 0);
  EXPECT_EQ(carad.Device(), nullptr);
}

TEST_F(DGTest, AFailedDeviceCreationHaltsWithHaltOnError) {
  // A headless wrapper has no window to fill: full screen cannot be made.
  EXPECT_EXIT(
      {
        TDGCarad& carad = StartCarad({}, nullptr, dgoHaltOnError | dgoDebugMessage);
        carad.SwitchToFullScreen(640, 480, D3DFMT_A8R8G8B8, {}, 0, D3DPRESENT_INTERVAL_IMMEDIATE,
                                 D3DSWAPEFFECT_DISCARD, D3DMULTISAMPLE_NONE, 0);
        std::fprintf(stderr, "still running\n");
      },
      ::testing::ExitedWithCode(kHaltExitCode), dg_test::kHaltNotice);
  EXPECT_TRUE(
      LogHas("Direct3DDeviceオブジェクトの生成に失敗しました(Error Code = D3DERR_INVALIDCALL )"));
}

TEST_F(DGTest, AFailedDeviceCreationWithoutHaltLeavesNoDevice) {
  TDGCarad& carad = StartCarad();
  std::vector<std::string> events;
  Recorder r(carad, "r", &events);
  carad.SwitchToFullScreen(640, 480, D3DFMT_A8R8G8B8, {}, 0, D3DPRESENT_INTERVAL_IMMEDIATE,
                           D3DSWAPEFFECT_DISCARD, D3DMULTISAMPLE_NONE, 0);
  EXPECT_EQ(carad.Device(), nullptr);
  EXPECT_EQ(carad.DepthStencil(), nullptr);
  // Released, never rebuilt.
  EXPECT_EQ(events, std::vector<std::string>{"release r"});
}

}  // namespace
}  // namespace dg
