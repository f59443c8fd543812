#include "sx/scene.h"

#include <cmath>
#include <cstring>

#include "dg/debug_log.h"
#include "platform/d3d9/kept_frame.h"
#include "sx/frame_damage.h"

namespace sx {
namespace {

constexpr float kDefaultFov = 1.5707964f;  // pi / 2
constexpr float kDefaultNear = 0.01f;
constexpr float kDefaultFar = 10000.0f;

D3DMATRIX ToD3D(const data::TMat4& m) {
  D3DMATRIX out;
  static_assert(sizeof(out) == sizeof(m));
  std::memcpy(&out, &m, sizeof(out));
  return out;
}

constexpr D3DMATRIX kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Past these a frame is drawn whole: each box is a pass over every queued quad, and boxes
// over half the target cost about what the whole frame does.
constexpr std::size_t kMaxRedrawBoxes = 128;

std::int64_t Area(const RECT& r) {
  return std::int64_t{r.right - r.left} * std::int64_t{r.bottom - r.top};
}

}  // namespace

TSXScene::TSXScene(dg::TDGCarad& device, const std::string& name) : carad_(&device), name_(name) {
  overlay_ = std::make_unique<TSXRenderingQueue>(carad_, this);
  opaque_ = std::make_unique<TSXRenderingQueue>(carad_, this);
  translucent_ = std::make_unique<TSXRenderingQueue>(carad_, this);
  restorer_ = std::make_unique<TSXStateRestorer>(carad_->Device());
  resourceId_ = carad_->RegisterResource(this, name_);
  blendModes_ = DefaultBlendModes();
  sortTranslucent_ = true;
  // The window's client area is the back buffer in both modes: a windowed device is made
  // at the client size, and a full-screen one is shown scaled over the screen.
  const int width = static_cast<int>(carad_->ScreenWidth());
  const int height = static_cast<int>(carad_->ScreenHeight());
  SetViewport(0, 0, width, height);
  SetProjection(kDefaultFov,
                width > 0 ? static_cast<float>(height) / static_cast<float>(width) : 1.0f,
                kDefaultNear, kDefaultFar);
  QueryBlendOpSupport();
}

TSXScene::~TSXScene() {
  if (carad_ != nullptr) carad_->UnregisterResource(resourceId_);
}

void TSXScene::DestroyByWrapper() {
  if (carad_ == nullptr) return;
  carad_->UnregisterResource(resourceId_);
  carad_ = nullptr;
  DiscardFrame();
}

void TSXScene::DiscardFrame() {
  overlay_->Discard();
  opaque_->Discard();
  translucent_->Discard();
  clears_.clear();
  lastRepeatable_ = false;
  frameKept_ = false;
}

void TSXScene::Clear(DWORD flags, D3DCOLOR colour, float z, DWORD stencil) {
  clears_.push_back({flags, colour, z, stencil});
}

void TSXScene::SetRedraw(TSXRedraw redraw) {
  redraw_ = redraw;
  frameKept_ = false;
}

void TSXScene::SetProjection(float fov, float aspect, float nearZ, float farZ) {
  fov_ = fov;
  aspect_ = aspect;
  nearZ_ = nearZ;
  farZ_ = farZ;
  const float cotangent = std::cos(fov / 2) / std::sin(fov / 2);
  projection_ = data::TMat4{};
  projection_.m[0][0] = aspect * cotangent;
  projection_.m[1][1] = cotangent;
  projection_.m[2][2] = farZ / (farZ - nearZ);
  projection_.m[2][3] = 1.0f;
  projection_.m[3][2] = -nearZ * projection_.m[2][2];
  ApplyProjection();
}

void TSXScene::SetViewport(int left, int top, int right, int bottom) {
  viewport_.X = static_cast<DWORD>(left);
  viewport_.Y = static_cast<DWORD>(top);
  viewport_.Width = static_cast<DWORD>(right - left);
  viewport_.Height = static_cast<DWORD>(bottom - top);
  viewport_.MinZ = 0.0f;
  viewport_.MaxZ = 1.0f;
  frameKept_ = false;
  ApplyViewport();
}

void TSXScene::ApplyViewport() {
  IDirect3DDevice9* device = carad_ != nullptr ? carad_->Device() : nullptr;
  if (device != nullptr) device->SetViewport(&viewport_);
}

void TSXScene::ApplyProjection() {
  IDirect3DDevice9* device = carad_ != nullptr ? carad_->Device() : nullptr;
  if (device == nullptr) return;
  const D3DMATRIX matrix = ToD3D(projection_);
  device->SetTransform(D3DTS_PROJECTION, &matrix);
}

void TSXScene::QueryBlendOpSupport() {
  blendOpSupported_ = false;
  if (carad_ == nullptr || carad_->D3D() == nullptr) return;
  D3DCAPS9 caps{};
  if (carad_->D3D()->GetDeviceCaps(carad_->Adapter(), carad_->DeviceType(), &caps) == D3D_OK) {
    blendOpSupported_ = (caps.PrimitiveMiscCaps & D3DPMISCCAPS_BLENDOP) != 0;
  }
}

void TSXScene::RestoreDeviceState() {
  // A new or reset device's back buffer holds nothing of the last frame.
  frameKept_ = false;
  ApplyViewport();
  ApplyProjection();
  QueryBlendOpSupport();
}

const TSXBlendMode* TSXScene::BlendMode(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= blendModes_.size()) return nullptr;
  return &blendModes_[static_cast<std::size_t>(index)];
}

void TSXScene::AddQuad(data::TVec2 position, const TSXVertex (&vertices)[4],
                       dg::TDGTexture* texture, std::int32_t blendMode, TSXFilter filter,
                       TSXLayer layer, float z) {
  const TSXBlendMode* mode = BlendMode(blendMode);
  if (mode == nullptr) {
    dg::DebugLog("TSXScene: a quad with blend mode " + std::to_string(blendMode) +
                 ", which the scene does not have, is not drawn");
    return;
  }
  const bool linear = filter == TSXFilter::Linear;
  if (layer == TSXLayer::Overlay) {
    overlay_->AddQuad(linear, blendMode, vertices, texture, position.x, position.y, 0.0f);
  } else if (mode->sorted) {
    translucent_->AddQuad(linear, blendMode, vertices, texture, position.x, position.y, z);
  } else {
    opaque_->AddQuad(linear, blendMode, vertices, texture, position.x, position.y, z);
  }
}

void TSXScene::Render() {
  IDirect3DDevice9* device = carad_ != nullptr ? carad_->Device() : nullptr;
  redrawnBoxes_ = 0;
  if (device == nullptr) {
    DiscardFrame();
    return;
  }
  // What this frame leaves in the back buffer can be compared with the next one when it is
  // one clear of the target and overlay quads.
  const bool comparable = clears_.size() == 1 && clears_.front().flags == D3DCLEAR_TARGET &&
                          opaque_->Count() == 0 && translucent_->Count() == 0;
  const PendingClear clear = comparable ? clears_.front() : PendingClear{};
  device->SetTransform(D3DTS_VIEW, &kIdentity);
  if (!(FrameComparable(*device) && RenderChanges(*device))) RenderWhole(*device);
  device->SetTexture(0, nullptr);
  opaque_->EndFrame();
  translucent_->EndFrame();
  overlay_->EndFrame();
  clears_.clear();
  lastRepeatable_ = comparable;
  frameKept_ = comparable && redraw_ == TSXRedraw::Changes && KeepsPresentedFrame(*device);
  lastClear_ = clear;
}

bool TSXScene::RepeatLastFrame() {
  if (!lastRepeatable_ || !clears_.empty() || opaque_->Count() != 0 || translucent_->Count() != 0 ||
      overlay_->Count() != 0) {
    return false;
  }
  clears_.push_back(lastClear_);
  overlay_->RequeueDrawn();
  return true;
}

void TSXScene::ReplaceOverlayQuad(std::size_t index, data::TVec2 position,
                                  const TSXVertex (&vertices)[4], dg::TDGTexture* texture,
                                  std::int32_t blendMode, TSXFilter filter) {
  if (BlendMode(blendMode) == nullptr) return;
  overlay_->ReplaceQuad(index, filter == TSXFilter::Linear, blendMode, vertices, texture,
                        position.x, position.y, 0.0f);
}

bool TSXScene::FrameComparable(IDirect3DDevice9& device) const {
  return frameKept_ && redraw_ == TSXRedraw::Changes && KeepsPresentedFrame(device) &&
         clears_.size() == 1 && clears_.front().flags == D3DCLEAR_TARGET &&
         clears_.front().colour == lastClear_.colour && opaque_->Count() == 0 &&
         translucent_->Count() == 0;
}

bool TSXScene::RenderChanges(IDirect3DDevice9& device) {
  const RECT clip{static_cast<LONG>(viewport_.X), static_cast<LONG>(viewport_.Y),
                  static_cast<LONG>(viewport_.X + viewport_.Width),
                  static_cast<LONG>(viewport_.Y + viewport_.Height)};
  const bool found =
      overlay_->Requeued() > 0
          ? FindReplacedBoxes(overlay_->Replacements(), overlay_->Queued(), overlay_->Requeued(),
                              kMaxRedrawBoxes, boxes_)
          : FindChangedBoxes(overlay_->Queued(), overlay_->Drawn(), kMaxRedrawBoxes, boxes_);
  if (!found) return false;
  std::int64_t area = 0;
  for (const RECT& box : boxes_) area += Area(box);
  if (area * 2 > Area(clip)) return false;
  const PendingClear& clear = clears_.front();
  device.SetRenderState(D3DRS_ZENABLE, 0);
  device.SetRenderState(D3DRS_ZWRITEENABLE, 0);
  device.SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
  for (const RECT& box : boxes_) {
    const D3DRECT rect{box.left, box.top, box.right, box.bottom};
    device.Clear(1, &rect, clear.flags, clear.colour, clear.z, clear.stencil);
    device.SetScissorRect(&box);
    device.SetRenderState(D3DRS_SCISSORTESTENABLE, 1);
    overlay_->Draw(TSXDrawOrder::Added, &box);
    device.SetRenderState(D3DRS_SCISSORTESTENABLE, 0);
  }
  device.SetRenderState(D3DRS_ZENABLE, 1);
  device.SetRenderState(D3DRS_ZWRITEENABLE, 1);
  device.SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
  redrawnBoxes_ = boxes_.size();
  return true;
}

void TSXScene::RenderWhole(IDirect3DDevice9& device) {
  for (const PendingClear& c : clears_) device.Clear(0, nullptr, c.flags, c.colour, c.z, c.stencil);
  opaque_->Draw(TSXDrawOrder::Added, nullptr);
  translucent_->Draw(sortTranslucent_ ? TSXDrawOrder::FarToNear : TSXDrawOrder::Added, nullptr);
  device.SetRenderState(D3DRS_ZENABLE, 0);
  device.SetRenderState(D3DRS_ZWRITEENABLE, 0);
  device.SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
  overlay_->Draw(TSXDrawOrder::Added, nullptr);
  device.SetRenderState(D3DRS_ZENABLE, 1);
  device.SetRenderState(D3DRS_ZWRITEENABLE, 1);
  device.SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
}

}  // namespace sx
