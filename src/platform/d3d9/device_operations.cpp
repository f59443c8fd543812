// Clears and draws held back until the back buffer is used, and the frame-to-frame
// difference that lets a frame much like the previous one redraw only where it differs.
#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/d3d9/changed_rects.h"
#include "platform/d3d9/device.h"

namespace vm_d3d9 {
namespace {

constexpr DWORD kTLVertexFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;
// Operations kept for comparison with the next frame; the saver's frames have about 200.
constexpr size_t kMaxHeldOperations = 4096;

void FillPixels(uint32_t* p, LONG n, uint32_t value) {
  const __m128i v = _mm_set1_epi32(static_cast<int>(value));
  LONG k = 0;
  for (; k + 4 <= n; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + k), v);
  for (; k < n; ++k) p[k] = value;
}

}  // namespace

HRESULT Device9::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                       DWORD stencil) {
  recorder_.Record("Clear", {count, Address(rects), flags, color, Bits(z), stencil});
  if (count > 0 && rects == nullptr) return D3DERR_INVALIDCALL;
  if ((flags & ~static_cast<DWORD>(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0 ||
      flags == 0) {
    return D3DERR_INVALIDCALL;
  }
  if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthSurface_) return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_STENCIL) && depthSurface_->memory.format != D3DFMT_D24S8) {
    return D3DERR_INVALIDCALL;
  }
  const SurfaceMemory& target = backBuffers_.front()->memory;
  const uint32_t value = target.format == D3DFMT_X8R8G8B8 ? (color | 0xFF000000u) : color;
  const float depthValue = std::clamp(z, 0.0f, 1.0f);
  const LONG vx0 = static_cast<LONG>(viewport_.X), vy0 = static_cast<LONG>(viewport_.Y);
  const LONG vx1 = vx0 + static_cast<LONG>(viewport_.Width);
  const LONG vy1 = vy0 + static_cast<LONG>(viewport_.Height);
  const D3DRECT whole{vx0, vy0, vx1, vy1};
  // The scissor test limits a clear as it limits a draw.
  D3DRECT clip = whole;
  if (renderStates_[D3DRS_SCISSORTESTENABLE] != 0) {
    clip = {std::max(vx0, scissorRect_.left), std::max(vy0, scissorRect_.top),
            std::min(vx1, scissorRect_.right), std::min(vy1, scissorRect_.bottom)};
  }
  const DWORD n = count == 0 ? 1 : count;
  for (DWORD i = 0; i < n; ++i) {
    const D3DRECT& r = count == 0 ? whole : rects[i];
    const LONG x0 = std::max(r.x1, clip.x1), y0 = std::max(r.y1, clip.y1);
    const LONG x1 = std::min(r.x2, clip.x2), y1 = std::min(r.y2, clip.y2);
    if (x0 >= x1 || y0 >= y1) continue;
    if (flags & D3DCLEAR_TARGET) {
      Operation& op = AddOperation(
          Operation::Kind::Clear,
          {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1)});
      op.clearValue = value;
      OperationAdded();
    }
    if (flags & D3DCLEAR_ZBUFFER) {
      for (LONG y = y0; y < y1; ++y) {
        float* row = depth_.data() + static_cast<ptrdiff_t>(y) * target.width;
        std::fill(row + x0, row + x1, depthValue);
      }
    }
  }
  return D3D_OK;
}

HRESULT Device9::DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount,
                                 const void* vertexData, UINT vertexStride) {
  recorder_.Record("DrawPrimitiveUP",
                   {primitiveType, primitiveCount, Address(vertexData), vertexStride});
  if (primitiveType != D3DPT_TRIANGLESTRIP || primitiveCount == 0 || vertexData == nullptr ||
      fvf_ != kTLVertexFVF || vertexStride != sizeof(TLVertex) || !inScene_) {
    return D3DERR_INVALIDCALL;
  }
  if (lost_) return D3D_OK;
  const Texture9* texture = textures_[0];
  if (texture != nullptr && texture->Format() == D3DFMT_P8) {
    // Palette textures can be filled but not sampled by this device.
    return D3DERR_WRONGTEXTUREFORMAT;
  }
  const auto* v = static_cast<const TLVertex*>(vertexData);
  const size_t count = primitiveCount + 2;
  // The pixels whose centres the vertices' extent holds, within the viewport and the
  // scissor rectangle.
  int clipLeft = static_cast<int>(viewport_.X), clipTop = static_cast<int>(viewport_.Y);
  int clipRight = static_cast<int>(viewport_.X + viewport_.Width);
  int clipBottom = static_cast<int>(viewport_.Y + viewport_.Height);
  if (renderStates_[D3DRS_SCISSORTESTENABLE] != 0) {
    clipLeft = std::max(clipLeft, static_cast<int>(scissorRect_.left));
    clipTop = std::max(clipTop, static_cast<int>(scissorRect_.top));
    clipRight = std::max(clipLeft, std::min(clipRight, static_cast<int>(scissorRect_.right)));
    clipBottom = std::max(clipTop, std::min(clipBottom, static_cast<int>(scissorRect_.bottom)));
  }
  ChangedRect bounds{clipLeft, clipTop, clipRight, clipBottom};
  float x0 = v[0].x, x1 = v[0].x, y0 = v[0].y, y1 = v[0].y;
  for (size_t k = 1; k < count; ++k) {
    x0 = std::min(x0, v[k].x);
    x1 = std::max(x1, v[k].x);
    y0 = std::min(y0, v[k].y);
    y1 = std::max(y1, v[k].y);
  }
  const auto inside = [](float f, int lo, int hi) {
    return static_cast<int>(std::clamp(f, static_cast<float>(lo), static_cast<float>(hi)));
  };
  if (std::isfinite(x0) && std::isfinite(x1) && std::isfinite(y0) && std::isfinite(y1)) {
    bounds = {inside(std::floor(x0), clipLeft, clipRight),
              inside(std::floor(y0), clipTop, clipBottom),
              inside(std::floor(x1) + 1, clipLeft, clipRight),
              inside(std::floor(y1) + 1, clipTop, clipBottom)};
  }
  Operation& op = AddOperation(Operation::Kind::Draw, bounds);
  // Nearly every draw reads the same states as the one before it: they are gathered again
  // only after a call changed one (a list emptied since starts afresh).
  if (frame_.states.empty() || statesGatheredAt_ != stateChanges_) {
    RasterState state;
    FillRasterState(&state);
    if (frame_.states.empty() || frame_.states.back() != state) frame_.states.push_back(state);
    statesGatheredAt_ = stateChanges_;
  }
  op.state = static_cast<uint32_t>(frame_.states.size() - 1);
  op.path = rasterPath_;
  if (textures_[0] != nullptr) {
    op.texture = texture;
    op.textureStamp = texture->Stamp();
    op.textureOpaque = textures_[0]->Level0Opaque();
  }
  op.firstVertex = static_cast<uint32_t>(frame_.vertices.size());
  op.vertexCount = static_cast<uint32_t>(count);
  frame_.vertices.insert(frame_.vertices.end(), v, v + count);
  OperationAdded();
  return D3D_OK;
}

RasterState Device9::OperationList::DrawState(const Operation& op) const {
  RasterState state = states[op.state];
  if (op.texture != nullptr) state.texture = op.texture->Level0();
  state.textureOpaque = op.textureOpaque;
  return state;
}

void Device9::OperationList::swap(OperationList& other) noexcept {
  operations.swap(other.operations);
  states.swap(other.states);
  vertices.swap(other.vertices);
}

Device9::Operation& Device9::AddOperation(Operation::Kind kind, const ChangedRect& bounds) {
  // A whole-target clear hides everything the buffer already holds: a caller that reads
  // the buffer instead of presenting it begins each frame afresh instead of piling up
  // operations that no longer matter.
  if (deferring_ && !frame_.operations.empty() && executed_ == frame_.operations.size() &&
      kind == Operation::Kind::Clear && CoversTarget(bounds)) {
    ForgetOperations(&frame_);
    nextUnderlays_.clear();
    executed_ = 0;
  }
  Operation& op = frame_.operations.emplace_back();
  op.kind = kind;
  op.bounds = bounds;
  return op;
}

void Device9::OperationAdded() {
  if (!deferring_) {
    Flush();
  } else if (frame_.operations.size() > kMaxHeldOperations) {
    // A caller that draws on and on without presenting: carry the frame out and forget
    // it. Should a whole-target clear follow, what is recorded from it on still describes
    // the buffer exactly; if not, the next frame will not count as comparable.
    Flush();
    ForgetOperations(&frame_);
    nextUnderlays_.clear();
    executed_ = 0;
  }
}

bool Device9::CoversTarget(const ChangedRect& r) const {
  const SurfaceMemory& target = backBuffers_.front()->memory;
  return r.left == 0 && r.top == 0 && r.right == static_cast<int>(target.width) &&
         r.bottom == static_cast<int>(target.height);
}

bool Device9::StartsWithWholeClear(const OperationList& list) const {
  const std::vector<Operation>& operations = list.operations;
  return !operations.empty() && operations.front().kind == Operation::Kind::Clear &&
         CoversTarget(operations.front().bounds);
}

void Device9::ForgetOperations(OperationList* list) {
  list->operations.clear();
  list->states.clear();
  list->vertices.clear();
}

void Device9::Execute(size_t from, size_t to, const ChangedRect* area) {
  SurfaceMemory& target = backBuffers_.front()->memory;
  const PixelBuffer targetView = target.View();
  for (size_t i = from; i < to; ++i) {
    const Operation& op = frame_.operations[i];
    ChangedRect box = op.bounds;
    if (area != nullptr) {
      box = {std::max(box.left, area->left), std::max(box.top, area->top),
             std::min(box.right, area->right), std::min(box.bottom, area->bottom)};
    }
    if (box.left >= box.right || box.top >= box.bottom) continue;
    if (op.kind == Operation::Kind::Clear) {
      // Nothing of a clear shows that the next draw overwrites without reading.
      if (i + 1 < to && frame_.operations[i + 1].kind == Operation::Kind::Draw) {
        const Operation& next = frame_.operations[i + 1];
        if (next.vertexCount >= 4 && QuadOverwrites(frame_.DrawState(next), frame_.Vertices(next),
                                                    box.left, box.top, box.right, box.bottom)) {
          continue;
        }
      }
      for (int y = box.top; y < box.bottom; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(target.bits.get() +
                                                    static_cast<ptrdiff_t>(y) * target.pitch);
        FillPixels(row + box.left, box.right - box.left, op.clearValue);
      }
      continue;
    }
    RasterState state = frame_.DrawState(op);
    state.target = targetView;
    if (area != nullptr) {
      state.scissorLeft = std::max(state.scissorLeft, area->left);
      state.scissorTop = std::max(state.scissorTop, area->top);
      state.scissorRight = std::min(state.scissorRight, area->right);
      state.scissorBottom = std::min(state.scissorBottom, area->bottom);
    }
    const TLVertex* v = frame_.Vertices(op);
    const UINT primitiveCount = static_cast<UINT>(op.vertexCount - 2);
    for (UINT k = 0; k < primitiveCount; ++k) {
      if (k % 2 == 0 && k + 1 < primitiveCount && DrawQuad(state, v + k, op.path)) {
        ++k;  // both triangles of the quad are drawn
        continue;
      }
      // Odd triangles of a strip swap their first two vertices to keep the winding.
      if (k % 2 == 0) {
        DrawTriangle(state, v[k], v[k + 1], v[k + 2], op.path);
      } else {
        DrawTriangle(state, v[k + 1], v[k], v[k + 2], op.path);
      }
    }
  }
}

void Device9::Flush() {
  const size_t count = frame_.operations.size();
  if (executed_ == count) return;
  if (!presenting_) KeepPresentedFrame();
  bool tracked = damageValid_ && executed_ == 0 && previousInBuffer_ && ExecuteDamageOnly();
  tracked = tracked || (damageValid_ && ExecuteWhereTheyDraw(executed_, count));
  if (!tracked) {
    Execute(executed_, count, nullptr);
    damageValid_ = false;
  }
  executed_ = count;
  previousInBuffer_ = false;
}

void Device9::KeepPresentedFrame() {
  SurfaceMemory& buffer = backBuffers_.front()->memory;
  if (buffer.bits.use_count() <= 1) return;
  const size_t bytes = SurfaceMemory::BytesOf(buffer.width, buffer.height, buffer.format);
  uint8_t* copy = static_cast<uint8_t*>(std::malloc(std::max<size_t>(bytes, 1)));
  // Out of memory, the buffer stays where it is: the shown frame then changes early, and
  // the next Present hands over the whole frame.
  if (copy == nullptr) {
    presentWhole_ = true;
    return;
  }
  std::memcpy(copy, buffer.bits.get(), bytes);
  buffer.bits.reset(copy, FreeDeleter{});
}

void Device9::BackBufferLocked(bool writing) {
  Flush();
  if (writing) KeepPresentedFrame();
  bufferLocked_ = true;
  if (writing) damageValid_ = false;
  previousInBuffer_ = false;
}

void Device9::TextureChanging(const Texture9* texture) {
  for (size_t i = executed_; i < frame_.operations.size(); ++i) {
    if (frame_.operations[i].texture == texture) {
      Flush();
      return;
    }
  }
}
}  // namespace vm_d3d9
