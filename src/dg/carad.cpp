#include "dg/carad.h"

#include <algorithm>
#include <cfenv>
#include <set>

#include "dg/debug_log.h"
#include "dg/log_format.h"
#include "dg/result_names.h"
#include "platform/window/client_area.h"

namespace dg {

namespace {

// Windows that have a wrapper: at most one wrapper may present to a window.
std::set<HWND>& WindowsInUse() {
  static std::set<HWND> windows;
  return windows;
}

constexpr BOOL kTrue = -1;  // TRUE with all bits set, as the parameters are filled
constexpr BOOL kFalse = 0;

}  // namespace

TDGCarad::TDGCarad(HWND owner) : owner_(owner) {
  if (owner_ != nullptr) {
    if (!WindowsInUse().insert(owner_).second) {
      throw EDGCaradError("DGCaradコンポーネントを、同一フォームに2つ以上貼る事はできません");
    }
  }
  SetDebugOption(dgoHaltOnError | dgoDebugMessage | dgoDetailedLog);
}

void TDGCarad::SetDebugOption(TDGDebugOption option) {
  debugOption_ = option;
  HaltOnError = (option & dgoHaltOnError) != 0;
  DebugMessage = (option & dgoDebugMessage) != 0;
  DetailedLog = (option & dgoDetailedLog) != 0;
}

int TDGCarad::ClientWidth() const {
  return owner_ != nullptr ? platform::GetClientSize(owner_).width : headlessWidth_;
}

int TDGCarad::ClientHeight() const {
  return owner_ != nullptr ? platform::GetClientSize(owner_).height : headlessHeight_;
}

void TDGCarad::ResizeClient(int width, int height) {
  if (owner_ != nullptr) {
    platform::ResizeClient(owner_, width, height);
  } else {
    headlessWidth_ = width;
    headlessHeight_ = height;
  }
}

void TDGCarad::Loaded() {
  if (started_) return;
  started_ = true;
  device_ = nullptr;
  backBuffers_.clear();
  depthStencil_ = nullptr;
  backBufferCount_ = 0;
  SetDebugOption(debugOption_);

  // The rasteriser's results must not depend on a rounding mode or a pending exception
  // left by someone else.
  std::feclearexcept(FE_ALL_EXCEPT);
  std::fesetround(FE_TONEAREST);

  DetailLog("");
  DetailLog("■■■起動時の初期化をします■■■");
  ++LogIndent;
  DetailLog("Direct3Dを生成します");
  d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
  if (d3d_ == nullptr) {
    // The indent stays raised: start-up stops in the middle of its phase.
    CheckResult(1, "Direct3Dオプジェクトすら生成できません、論外");
    return;
  }
  DetailLog("ウィンドウのクライアント領域のサイズに合わせて初期化を開始します");
  SwitchToWindow(ClientWidth(), ClientHeight(), {}, D3DPRESENT_INTERVAL_DEFAULT,
                 D3DSWAPEFFECT_DISCARD, D3DMULTISAMPLE_NONE, 0);
  --LogIndent;
  DetailLog("■■■DGCarad 起動しました■■■");
  DetailLog("");
}

TDGCarad::~TDGCarad() {
  DetailLog("");
  DetailLog("■■■お別れの時がやってまいりました■■■");
  ++LogIndent;
  while (!resources_.empty()) {
    const TDGResourceDesc& first = resources_.front();
    const std::int32_t id = first.id;
    DetailLog(LogFormat("ID %d(%s) のDGCaradリソースは、明示的に解放されていません", id,
                        first.name.c_str()));
    first.object->DestroyByWrapper();
    // An object that failed to unregister must not hold the loop forever.
    if (!resources_.empty() && resources_.front().id == id) resources_.erase(resources_.begin());
  }
  DetailLog("DGCaradオブジェクトの解放に伴い、全ての関連オブジェクトを解放します");
  ReleaseDevice();
  DetailLog("Direct3Dオブジェクトの解放を行います");
  if (d3d_ != nullptr) {
    CheckResult(static_cast<std::int32_t>(d3d_->Release()),
                "Direct3Dオブジェクトの解放に失敗しました");
    d3d_ = nullptr;
  }
  --LogIndent;
  DetailLog("■■■それではごきげんよう■■■");
  DetailLog("");
  if (owner_ != nullptr) WindowsInUse().erase(owner_);
}

D3DDISPLAYMODE TDGCarad::GetAdapterDisplayMode(UINT adapter) {
  D3DDISPLAYMODE mode{};
  if (d3d_ != nullptr) d3d_->GetAdapterDisplayMode(adapter, &mode);
  return mode;
}

void TDGCarad::SwitchToWindow(int width, int height, const std::vector<D3DFORMAT>& depthFormats,
                              UINT presentationInterval, D3DSWAPEFFECT swapEffect,
                              D3DMULTISAMPLE_TYPE multiSampleType, UINT adapter) {
  if (d3d_ == nullptr) return;
  DetailLog("");
  DetailLog("■■■Windowモードへ移行します■■■");
  ++LogIndent;
  // Released first, so that the adapter reports the desktop's mode and not a previous
  // full-screen one.
  ReleaseDevice();
  D3DDISPLAYMODE mode = GetAdapterDisplayMode(adapter);
  mode.Width = static_cast<UINT>(width);
  mode.Height = static_cast<UINT>(height);
  InitDisplayMode(adapter, true, mode, multiSampleType, depthFormats, swapEffect,
                  presentationInterval);
  ResizeClient(width, height);
  --LogIndent;
  DetailLog("■■■Windowモードへ移行しました■■■");
  DetailLog("");
}

void TDGCarad::SwitchToFullScreen(int width, int height, D3DFORMAT backBufferFormat,
                                  const std::vector<D3DFORMAT>& depthFormats, UINT refreshRate,
                                  UINT presentationInterval, D3DSWAPEFFECT swapEffect,
                                  D3DMULTISAMPLE_TYPE multiSampleType, UINT adapter) {
  if (d3d_ == nullptr) return;
  DetailLog("");
  DetailLog("■■■フルスクリーンモードへ移行します■■■");
  ++LogIndent;
  const D3DDISPLAYMODE mode{static_cast<UINT>(width), static_cast<UINT>(height), refreshRate,
                            backBufferFormat};
  InitDisplayMode(adapter, false, mode, multiSampleType, depthFormats, swapEffect,
                  presentationInterval);
  --LogIndent;
  DetailLog("■■■フルスクリーンモードへ移行しました■■■");
  DetailLog("");
}

void TDGCarad::InitDisplayMode(UINT adapter, bool windowed, const D3DDISPLAYMODE& mode,
                               D3DMULTISAMPLE_TYPE multiSampleType,
                               const std::vector<D3DFORMAT>& depthFormats, D3DSWAPEFFECT swapEffect,
                               UINT presentationInterval) {
  DetailLog("");
  DetailLog("■■■画面モードを初期化します■■■");
  ++LogIndent;

  D3DPRESENT_PARAMETERS params{};
  params.BackBufferWidth = mode.Width;
  params.BackBufferHeight = mode.Height;
  params.BackBufferFormat = mode.Format;
  params.BackBufferCount = 0;
  params.MultiSampleType = multiSampleType;
  params.MultiSampleQuality = 0;
  params.SwapEffect = swapEffect;
  params.Windowed = windowed ? kTrue : kFalse;
  params.Flags = 0;
  params.PresentationInterval = presentationInterval;

  D3DADAPTER_IDENTIFIER9 identifier{};
  d3d_->GetAdapterIdentifier(adapter, 0, &identifier);
  DetailLog(LogFormat("Driver : %s", identifier.Driver));
  DetailLog(LogFormat("Description : %s", identifier.Description));
  DetailLog(LogFormat(
      "VendorID : %.8x, DeviceID : %.8x, SubSysID : %.8x, Revision : %.8x",
      static_cast<unsigned>(identifier.VendorId), static_cast<unsigned>(identifier.DeviceId),
      static_cast<unsigned>(identifier.SubSysId), static_cast<unsigned>(identifier.Revision)));

  if (windowed) {
    DetailLog(LogFormat("ウィンドウモード %dx%dで初期化します", static_cast<int>(mode.Width),
                        static_cast<int>(mode.Height)));
  } else {
    DetailLog(LogFormat("フルスクリーンモード %dx%d %dHz %s で初期化します",
                        static_cast<int>(mode.Width), static_cast<int>(mode.Height),
                        static_cast<int>(mode.RefreshRate), D3DFormatName(mode.Format).c_str()));
    params.FullScreen_RefreshRateInHz = mode.RefreshRate;
  }
  params.hDeviceWindow = owner_;
  params.EnableAutoDepthStencil = depthFormats.empty() ? kFalse : kTrue;

  D3DCAPS9 caps{};
  const HRESULT capsResult = d3d_->GetDeviceCaps(adapter, D3DDEVTYPE_HAL, &caps);
  if (FAILED(capsResult) || UseREFDevice) {
    DetailLog("ソフトウェアエミュレーションを利用します");
    params.AutoDepthStencilFormat =
        FindDepthStencilFormat(D3DDEVTYPE_REF, adapter, params, depthFormats);
    DetailLog("デプスステンシルサーフェスのフォーマット..." +
              D3DFormatName(params.AutoDepthStencilFormat));
    CreateDevice(adapter, D3DDEVTYPE_REF, params, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
  } else {
    DetailLog("ハードウェアアクセラレーションを利用します");
    params.AutoDepthStencilFormat =
        FindDepthStencilFormat(D3DDEVTYPE_HAL, adapter, params, depthFormats);
    DetailLog("デプスステンシルサーフェスのフォーマット..." +
              D3DFormatName(params.AutoDepthStencilFormat));
    if ((caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0 && !UseSoftwareVertexProcessing) {
      DetailLog("ハードウェアT&Lを利用します");
      CreateDevice(adapter, D3DDEVTYPE_HAL, params, D3DCREATE_HARDWARE_VERTEXPROCESSING);
    } else {
      DetailLog("ソフトウェアT&Lを利用します");
      CreateDevice(adapter, D3DDEVTYPE_HAL, params, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    }
  }

  --LogIndent;
  DetailLog("■■■画面モードを初期化しました■■■");
  DetailLog("");
}

D3DFORMAT TDGCarad::FindDepthStencilFormat(D3DDEVTYPE type, UINT adapter,
                                           const D3DPRESENT_PARAMETERS& params,
                                           const std::vector<D3DFORMAT>& depthFormats) {
  if (params.EnableAutoDepthStencil) {
    for (const D3DFORMAT candidate : depthFormats) {
      if (d3d_->CheckDepthStencilMatch(adapter, type, params.BackBufferFormat,
                                       params.BackBufferFormat, candidate) == D3D_OK) {
        return candidate;
      }
    }
  }
  DetailLog("希望のデプスステンシルサーフェスのフォーマットが見つかりませんでした");
  return D3DFMT_UNKNOWN;
}

void TDGCarad::CreateDevice(UINT adapter, D3DDEVTYPE type, D3DPRESENT_PARAMETERS& params,
                            DWORD behaviorFlags) {
  if (device_ != nullptr) {
    DetailLog("新しいデバイスの生成の前に、全ての関連オブジェクトを解放します");
    ReleaseDevice();
  }
  DetailLog("Direct3DDeviceオブジェクトの生成を行います");
  IDirect3DDevice9* created = nullptr;
  const HRESULT result =
      d3d_->CreateDevice(adapter, type, owner_, behaviorFlags, &params, &created);
  CheckResult(result, "Direct3DDeviceオブジェクトの生成に失敗しました");
  if (FAILED(result) || created == nullptr) return;
  device_ = created;

  backBufferCount_ = params.BackBufferCount;
  backBuffers_.clear();
  for (UINT i = 0; i < params.BackBufferCount; ++i) {
    IDirect3DSurface9* surface = nullptr;
    device_->GetBackBuffer(0, i, D3DBACKBUFFER_TYPE_MONO, &surface);
    backBuffers_.push_back(surface);
  }
  if (FAILED(device_->GetDepthStencilSurface(&depthStencil_))) depthStencil_ = nullptr;

  presentParams_ = params;
  adapter_ = adapter;
  deviceType_ = type;
  windowed_ = params.Windowed != 0;
  screenWidth_ = params.BackBufferWidth;
  screenHeight_ = params.BackBufferHeight;
  backBufferFormat_ = params.BackBufferFormat;
  RebuildAllResources();
}

void TDGCarad::ReleaseDevice() {
  DetailLog("");
  DetailLog("■■■Direct3Dデバイスを解放します■■■");
  ++LogIndent;
  ReleaseAllResources();
  if (depthStencil_ != nullptr) {
    DetailLog("デプスステンシルサーフェスを解放します");
    CheckResult(static_cast<std::int32_t>(depthStencil_->Release()),
                "デプスステンシルサーフェスの解放に失敗しました");
    depthStencil_ = nullptr;
  }
  if (!backBuffers_.empty()) {
    DetailLog("バックバッファを解放します");
    for (std::size_t i = 0; i < backBuffers_.size(); ++i) {
      if (backBuffers_[i] == nullptr) continue;
      CheckResult(static_cast<std::int32_t>(backBuffers_[i]->Release()),
                  "バックバッファ #" + std::to_string(i) + "　の解放に失敗しました");
    }
    backBuffers_.clear();
  }
  if (device_ != nullptr) {
    DetailLog("Direct3DDeviceオブジェクトの解放を行います");
    CheckResult(static_cast<std::int32_t>(device_->Release()),
                "Direct3DDeviceオブジェクトの解放に失敗しました");
    device_ = nullptr;
  }
  --LogIndent;
  DetailLog("■■■Direct3Dデバイスを解放しました■■■");
  DetailLog("");
}

std::int32_t TDGCarad::RegisterResource(TDGResource* object, const std::string& name) {
  const std::int32_t id = nextResourceID_;
  DetailLog(LogFormat("DGCaradリソース(%s)を登録します ID は %d(%s) です", object->ClassName(), id,
                      name.c_str()));
  resources_.push_back(TDGResourceDesc{id, name, object});
  ++nextResourceID_;
  return id;
}

void TDGCarad::UnregisterResource(std::int32_t id) {
  const auto found = std::find_if(resources_.begin(), resources_.end(),
                                  [id](const TDGResourceDesc& desc) { return desc.id == id; });
  if (found == resources_.end()) {
    CheckResult(1, LogFormat("リストに入ってないDGCaradリソース(ID:%d)が、UnregisterResource手続き"
                             "に渡されました",
                             id));
    return;
  }
  DetailLog(LogFormat("DGCaradリソース(%s) : ID %d(%s) を登録解除します",
                      found->object->ClassName(), id, found->name.c_str()));
  resources_.erase(found);
}

// Indexes rather than iterators: a notification may register further objects.
void TDGCarad::ReleaseAllResources() {
  DetailLog("全てのDGCaradリソースを解放します");
  for (std::size_t i = 0; i < resources_.size(); ++i) resources_[i].object->DeviceRelease();
}

void TDGCarad::RebuildAllResources() {
  DetailLog("全てのDGCaradリソースを再構築します");
  for (std::size_t i = 0; i < resources_.size(); ++i) resources_[i].object->DeviceRebuild();
}

std::vector<std::int32_t> TDGCarad::ResourceIDs() const {
  std::vector<std::int32_t> ids;
  for (const TDGResourceDesc& desc : resources_) ids.push_back(desc.id);
  return ids;
}

}  // namespace dg
