// The drawing front end: callers queue textured screen-space quads during a frame, and
// Render (between BeginScene and EndScene) draws them in three passes: opaque quads in
// adding order, translucent quads far to near, then overlay quads in adding order.
//
// A frame that begins with the scene's clear of the target and has only overlay quads is
// drawn, on a device whose back buffer still holds the frame drawn last, as that frame
// plus what differs: each box where the quads differ (frame_damage.h) is cleared and drawn
// again with every quad that reaches into it, the device's scissor test keeping the draws
// inside. The pixels come out as a whole frame's would.
//
// The scene also owns the blend-mode table, the viewport and the projection, and applies
// them again whenever the device wrapper makes a new device. It registers with the
// wrapper for that on construction and unregisters on destruction.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/math.h"
#include "dg/carad.h"
#include "platform/d3d9/d3d9.h"
#include "sx/blend_mode.h"
#include "sx/rendering_queue.h"
#include "sx/state_restorer.h"
#include "sx/vertex.h"

namespace dg {
class TDGTexture;
}

namespace sx {

enum class TSXLayer { Scene, Overlay };
enum class TSXFilter { Point, Linear };
// Changes: a frame may be drawn as the last one plus what differs, where the device keeps
// its frames; Whole: every frame is drawn whole, as a device that discards them needs.
enum class TSXRedraw { Changes, Whole };

class TSXScene : public dg::TDGResource {
 public:
  TSXScene(dg::TDGCarad& device, const std::string& name);
  ~TSXScene() override;
  TSXScene(const TSXScene&) = delete;
  TSXScene& operator=(const TSXScene&) = delete;

  // IDirect3DDevice9::Clear of the whole target, carried out by the next Render before its
  // quads.
  void Clear(DWORD flags, D3DCOLOR colour, float z, DWORD stencil);
  // A left-handed perspective projection; stored, and applied to the device.
  void SetProjection(float fov, float aspect, float nearZ, float farZ);
  // The viewport (left, top) .. (right, bottom) with depth 0..1; stored and applied.
  void SetViewport(int left, int top, int right, int bottom);

  // Queues a quad for the next Render. An overlay quad is drawn after everything else, in
  // adding order, at z 0; any other quad goes to the translucent pass when its mode is
  // sorted, else to the opaque pass, and is not drawn at all when z < 0. A mode index that
  // is not in the table is logged and the quad dropped.
  void AddQuad(data::TVec2 position, const TSXVertex (&vertices)[4], dg::TDGTexture* texture,
               std::int32_t blendMode, TSXFilter filter, TSXLayer layer, float z);
  void AddBlendMode(const TSXBlendMode& mode) { blendModes_.push_back(mode); }
  // Queues again what the frame drawn last had, its clear and its overlay quads, for a
  // frame that differs from it only in the quads then replaced. False, queuing nothing,
  // unless that frame had one clear of the target and overlay quads only, and nothing is
  // queued yet. The caller answers for the textures: one written since must be queued
  // afresh.
  bool RepeatLastFrame();
  // Overlay quad `index` of the queue becomes the one given, as AddQuad queues it.
  void ReplaceOverlayQuad(std::size_t index, data::TVec2 position, const TSXVertex (&vertices)[4],
                          dg::TDGTexture* texture, std::int32_t blendMode, TSXFilter filter);

  // Draws and empties the queues.
  void Render();
  void SetRedraw(TSXRedraw redraw);
  // How many boxes the last Render drew again; 0 when it drew the whole frame.
  std::size_t RedrawnBoxes() const { return redrawnBoxes_; }
  // The back buffer holds the frame drawn last, for the next to be drawn where it differs.
  bool FrameKept() const { return frameKept_; }

  // The device wrapper's notification after a new device exists (and after a reset):
  // viewport and projection are applied again and blend-op support is asked again.
  void RestoreDeviceState();

  // dg::TDGResource
  const char* ClassName() const override { return "TSXScene"; }
  void DeviceRebuild() override { RestoreDeviceState(); }
  void DeviceReset() override { RestoreDeviceState(); }
  void DestroyByWrapper() override;

  // Null for an index outside the table.
  const TSXBlendMode* BlendMode(std::int32_t index) const;
  std::size_t BlendModeCount() const { return blendModes_.size(); }
  bool BlendOpSupported() const { return blendOpSupported_; }
  const D3DVIEWPORT9& Viewport() const { return viewport_; }
  const data::TMat4& Projection() const { return projection_; }
  const std::string& Name() const { return name_; }
  std::int32_t ResourceID() const { return resourceId_; }
  const TSXRenderingQueue& OpaqueQueue() const { return *opaque_; }
  const TSXRenderingQueue& TranslucentQueue() const { return *translucent_; }
  const TSXRenderingQueue& OverlayQueue() const { return *overlay_; }

 private:
  struct PendingClear {
    DWORD flags;
    D3DCOLOR colour;
    float z;
    DWORD stencil;
  };

  void QueryBlendOpSupport();
  void ApplyViewport();
  void ApplyProjection();
  // This frame may be drawn as the last one plus what differs.
  bool FrameComparable(IDirect3DDevice9& device) const;
  // Draws the frame as the last one plus the boxes where it differs; false (nothing drawn)
  // when the differences cover too much.
  bool RenderChanges(IDirect3DDevice9& device);
  void RenderWhole(IDirect3DDevice9& device);
  void DiscardFrame();

  dg::TDGCarad* carad_;  // borrowed; null once the wrapper has destroyed the scene
  std::string name_;
  std::int32_t resourceId_ = -1;
  std::unique_ptr<TSXStateRestorer> restorer_;
  data::TMat4 projection_{};
  float fov_ = 0.0f;
  float aspect_ = 0.0f;
  float nearZ_ = 0.0f;
  float farZ_ = 0.0f;
  D3DVIEWPORT9 viewport_{};
  std::unique_ptr<TSXRenderingQueue> overlay_;
  std::unique_ptr<TSXRenderingQueue> opaque_;
  std::unique_ptr<TSXRenderingQueue> translucent_;
  bool blendOpSupported_ = false;
  // Translucent quads are drawn far to near; set at construction and never changed.
  bool sortTranslucent_ = true;
  std::vector<TSXBlendMode> blendModes_;
  std::vector<PendingClear> clears_;  // since the last Render
  TSXRedraw redraw_ = TSXRedraw::Changes;
  // The frame drawn last had one clear of the target, lastClear_, and overlay quads only
  // (those the overlay queue keeps as drawn); frameKept_: and the back buffer holds it.
  bool lastRepeatable_ = false;
  bool frameKept_ = false;
  PendingClear lastClear_{};
  std::vector<RECT> boxes_;
  std::size_t redrawnBoxes_ = 0;
};

}  // namespace sx
