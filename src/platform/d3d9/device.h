// The software IDirect3DDevice9.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "platform/d3d9/objects.h"

namespace vm_d3d9 {

class Device9 final : public IDirect3DDevice9, public PresentTargetWatcher {
 public:
  // Creates the device; fails with the Direct3D result that CreateDevice returns.
  static HRESULT Create(Direct3D9* direct3D, D3DDEVTYPE type, HWND window, DWORD behaviorFlags,
                        D3DPRESENT_PARAMETERS* parameters, Device9** device);

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT TestCooperativeLevel() override;
  UINT GetAvailableTextureMem() override;
  HRESULT GetDirect3D(IDirect3D9** direct3D) override;
  HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
  HRESULT GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override;
  HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                  const RGNDATA* dirtyRegion) override;
  HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                        IDirect3DSurface9** backBuffer) override;
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                        D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
  HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** renderTarget) override;
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** depthStencil) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
  HRESULT SetScissorRect(const RECT* rect) override;
  HRESULT GetScissorRect(RECT* rect) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
  HRESULT SetFVF(DWORD fvf) override;
  HRESULT GetFVF(DWORD* fvf) override;
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount,
                          const void* vertexData, UINT vertexStride) override;

  CallRecorder& Recorder() override { return recorder_; }
  bool GetLastPresentedFrame(std::vector<uint32_t>* pixels, UINT* width, UINT* height) override;
  void SetRasterPath(RasterPath path) override {
    rasterPath_ = path;
    ++stateChanges_;
  }

  void OnPresentTargetGone() override;

  // Carries out the clears and draws still held back (see below). Everything that reads
  // or writes the back buffer's memory other than through them calls it first.
  void Flush();
  // Called before the back buffer's pixels change while the last presented frame may still
  // be read from them (by a target, or GetLastPresentedFrame): the buffer moves to a copy
  // of its storage, and the presented frame stays as it was in the old one.
  void KeepPresentedFrame();
  // The back buffer's memory is about to be read, or written when `writing`, directly.
  void BackBufferLocked(bool writing);
  // The texture's content is about to change or the texture to go away: draws held back
  // that sample it must be carried out first.
  void TextureChanging(const Texture9* texture);

  const SoftwareDeviceOptions& Options() const { return direct3D_->Options(); }
  // Texture memory bookkeeping; Reserve fails when the budget is exhausted.
  bool ReserveTextureMemory(uint64_t bytes);
  void ReturnTextureMemory(uint64_t bytes);

 private:
  static constexpr DWORD kSamplerCount = 16;
  static constexpr size_t kTransformSlots = 24;

  Device9(Direct3D9* direct3D, D3DDEVTYPE type);
  ~Device9() override;
  HRESULT Init(HWND window, D3DPRESENT_PARAMETERS* parameters);
  void ResetStates();
  // Fills a default-constructed state with everything a draw reads from the device but
  // its target, which is bound when the draw is carried out, and its texture's level 0,
  // which each draw keeps with its texture.
  void FillRasterState(RasterState* state) const;

  // A clear of the target or a draw, as the frame's caller issued it. Kept small: a frame
  // has a few hundred and each is compared with the last frame's between ticks, when none
  // of them is in the caches any more.
  struct Operation {
    enum class Kind : uint8_t { Clear, Draw } kind = Kind::Clear;
    bool textureOpaque = false;          // Draw: every texel of its texture's level 0 has alpha 255
    RasterPath path = RasterPath::Fast;  // Draw
    uint32_t clearValue = 0;             // Clear: the value written over `bounds`
    uint32_t state = 0;                  // Draw: index in the list's states
    // Draw: primitive count + 2 strip vertices, in the list's vertices.
    uint32_t firstVertex = 0;
    uint32_t vertexCount = 0;
    ChangedRect bounds;  // the pixels it may write (within its viewport)
    // Draw: its texture and that texture's content. The texture is alive and unchanged
    // while the draw is held back (a change or its end carries the draw out first), so
    // its level 0 is read from it when the draw is carried out.
    const Texture9* texture = nullptr;
    uint64_t textureStamp = 0;
  };
  // The operations of a frame and what they share. A frame's draws differ mostly by
  // texture and vertices: its states hold the few distinct rest, each as a RasterState
  // without target and texture.
  struct OperationList {
    std::vector<Operation> operations;
    std::vector<RasterState> states;
    std::vector<TLVertex> vertices;
    const TLVertex* Vertices(const Operation& op) const { return vertices.data() + op.firstVertex; }
    // Everything the held-back draw `op` reads but its target.
    RasterState DrawState(const Operation& op) const;
    void swap(OperationList& other) noexcept;
  };
  // Whether an operation of one list does exactly what one of another did.
  class SameOperation;
  // Appends an operation of the kind over `bounds` for the caller to fill in, then to
  // call OperationAdded.
  Operation& AddOperation(Operation::Kind kind, const ChangedRect& bounds);
  void OperationAdded();
  // Carries out operations [from, to) of the frame, touching only the pixels in `area`
  // (all pixels when null).
  void Execute(size_t from, size_t to, const ChangedRect* area);
  // Carries out the whole frame as the previous frame's pixels plus what differs between
  // the two operation lists; false (nothing done) when the frames cannot be compared.
  bool ExecuteDamageOnly();
  // Carries out operations [from, to) box by box over the pixels they may write (a frame
  // that redraws only what it changed); false (nothing done) when they cover too much.
  bool ExecuteWhereTheyDraw(size_t from, size_t to);
  // Carries out operations [from, to) within each of `boxes` (which share no pixel), adding
  // where pixels changed to damage_; false (nothing done) past the limits of a redraw.
  bool RedrawBoxes(const std::vector<ChangedRect>& boxes, size_t from, size_t to);
  int64_t TargetArea() const;
  // Carries out operations [from, to) within box `r`, starting from an underlay where one
  // fits (see Underlay), and takes this frame's.
  void ExecuteBox(size_t from, size_t to, const ChangedRect& r);
  // The back buffer's pixels of `r`, copied out or back in.
  void CopyBox(const ChangedRect& r, std::vector<uint32_t>& pixels) const;
  void PasteBox(const ChangedRect& r, const std::vector<uint32_t>& pixels);
  // Where within `r` the pixels now differ from boxBefore_.
  std::optional<ChangedRect> ChangedInBox(const ChangedRect& r) const;
  bool CoversTarget(const ChangedRect& r) const;
  bool StartsWithWholeClear(const OperationList& list) const;
  // Empties the list, keeping its storage for the next frame.
  static void ForgetOperations(OperationList* list);
  size_t TransformSlot(D3DTRANSFORMSTATETYPE state) const;

  ULONG refs_ = 1;
  Direct3D9* direct3D_;
  D3DDEVTYPE type_;
  D3DPRESENT_PARAMETERS parameters_{};
  PresentTarget* target_ = nullptr;
  bool lost_ = false;
  bool inScene_ = false;
  bool fullScreen_ = false;

  std::vector<std::unique_ptr<ImplicitSurface9>> backBuffers_;
  std::unique_ptr<ImplicitSurface9> depthSurface_;
  std::vector<float> depth_;

  std::array<DWORD, kD3DRenderStateCount> renderStates_{};
  std::array<std::array<DWORD, kD3DTextureStageStateCount>, kD3DMaxTextureStages> stageStates_{};
  std::array<std::array<DWORD, kD3DSamplerStateCount>, kSamplerCount> samplerStates_{};
  std::array<Texture9*, kD3DMaxTextureStages> textures_{};
  std::array<D3DMATRIX, kTransformSlots> transforms_{};
  D3DVIEWPORT9 viewport_{};
  RECT scissorRect_{};
  DWORD fvf_ = 0;
  // Counts the calls that changed anything FillRasterState reads; the frame's last state
  // was gathered at statesGatheredAt_.
  uint64_t stateChanges_ = 0;
  uint64_t statesGatheredAt_ = UINT64_MAX;

  uint64_t textureMemoryUsed_ = 0;
  CallRecorder recorder_;
  RasterPath rasterPath_ = RasterPath::Fast;
  // Read by every draw; kept here so that a draw touches neither the options nor the
  // processor check.
  bool blendOpEnabled_ = false;
  bool cpuHasAvx2_ = false;
  // Clears and draws of the target are held back until the back buffer is used (Present,
  // a lock of it, a change to a texture they sample). A frame that begins by clearing the
  // whole target and issues the same operations as the previous frame except a few is
  // then made from the previous frame's pixels by redrawing only where those few were or
  // are (the saver's walker and what flies), and a clear whose area the next draw
  // overwrites without reading it (the saver's opaque wallpaper) is skipped. A device
  // with a depth buffer carries out each operation at once.
  bool deferring_ = true;
  OperationList frame_;            // since the last Present
  size_t executed_ = 0;            // how many of frame_ the back buffer holds
  OperationList previous_;         // the last presented frame's
  bool previousInBuffer_ = false;  // the back buffer holds exactly previous_'s pixels
  bool bufferLocked_ = false;      // locked directly since the last Present
  // Where the frame's executed operations changed pixels of the last presented frame, while
  // damageValid_: cleared at each Present, valid from there until something changes the
  // buffer in a way the device does not follow (a lock for writing, an operation carried out
  // whole).
  std::vector<ChangedRect> damage_;
  std::vector<uint32_t> boxBefore_;  // a box's pixels before it was redrawn
  // A redrawn box's pixels as they stood after the first `depth` operations reaching into
  // it, from the clear of the whole box at `first`. When the next frame's operations
  // there begin with the same `depth`, it starts from them instead of drawing those again:
  // the saver's walker, redrawn each frame over the wallpaper, road and leaves beneath it.
  struct Underlay {
    ChangedRect box;
    size_t first = 0;
    size_t depth = 0;
    std::vector<uint32_t> pixels;
  };
  std::vector<Underlay> underlays_;      // taken in the frame presented last
  std::vector<Underlay> nextUnderlays_;  // taken in this frame
  bool damageValid_ = false;
  // The last presented frame: the back buffer's storage as it was at that Present. The
  // buffer keeps drawing into the same storage (the next Present hands over only what it
  // redrew) unless its pixels are about to change outside a Present while the frame is
  // still shared; then it moves to a copy (KeepPresentedFrame). So the presented frame
  // costs no memory of its own.
  std::shared_ptr<const uint8_t> presented_;
  bool presenting_ = false;    // inside Present: writing the buffer makes the next frame
  bool presentWhole_ = false;  // the shown frame changed in place: the next Present is whole
  UINT lastFrameWidth_ = 0;
  UINT lastFrameHeight_ = 0;
  PresentTarget* lastShownTarget_ = nullptr;
};

}  // namespace vm_d3d9
