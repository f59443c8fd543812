// Clears and draws held back until the back buffer is used, and the frame-to-frame
// difference that lets a frame much like the previous one redraw only where it differs.
#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/d3d9/device.h"

namespace vm_d3d9 {
namespace {

constexpr DWORD kTLVertexFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;
// Operations kept for comparison with the next frame; the saver's frames have about 200.
constexpr size_t kMaxHeldOperations = 4096;
// Separate areas a frame may redraw on its own; a new board's kanji written into the 81
// cells at once make about fifty.
constexpr size_t kMaxDamageBoxes = 128;
// Boxes up to this many pixels are compared before and after they are redrawn (a cell or
// the walker is about a thousand).
constexpr int64_t kMaxComparedBox = 16384;

void FillPixels(uint32_t* p, LONG n, uint32_t value) {
  const __m128i v = _mm_set1_epi32(static_cast<int>(value));
  LONG k = 0;
  for (; k + 4 <= n; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + k), v);
  for (; k < n; ++k) p[k] = value;
}

int64_t Area(const ChangedRect& r) { return int64_t{r.right - r.left} * (r.bottom - r.top); }

ChangedRect Union(const ChangedRect& a, const ChangedRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

bool Overlap(const ChangedRect& a, const ChangedRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Adds `r` to rectangles that share no pixel, joined with every one it overlaps until it
// overlaps none.
void AddDisjoint(std::vector<ChangedRect>& boxes, ChangedRect r) {
  if (r.left >= r.right || r.top >= r.bottom) return;
  for (bool merged = true; merged;) {
    merged = false;
    for (size_t k = 0; k < boxes.size(); ++k) {
      if (!Overlap(r, boxes[k])) continue;
      r = Union(r, boxes[k]);
      boxes.erase(boxes.begin() + static_cast<ptrdiff_t>(k));
      merged = true;
      break;
    }
  }
  boxes.push_back(r);
}

// Joins rectangles that share no pixel into at most `most` that still share none and
// cover them all: each step joins the two whose union adds the least area.
void MergeInto(std::vector<ChangedRect>& boxes, size_t most) {
  while (boxes.size() > most) {
    size_t a = 0, b = 1;
    int64_t best = INT64_MAX;
    for (size_t i = 0; i < boxes.size(); ++i) {
      for (size_t j = i + 1; j < boxes.size(); ++j) {
        const int64_t added = Area(Union(boxes[i], boxes[j])) - Area(boxes[i]) - Area(boxes[j]);
        if (added < best) {
          best = added;
          a = i;
          b = j;
        }
      }
    }
    const ChangedRect joined = Union(boxes[a], boxes[b]);
    boxes.erase(boxes.begin() + static_cast<ptrdiff_t>(b));
    boxes.erase(boxes.begin() + static_cast<ptrdiff_t>(a));
    AddDisjoint(boxes, joined);
  }
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

class Device9::SameOperation {
 public:
  SameOperation(const OperationList& now, const OperationList& before)
      : now_(now), before_(before) {}

  bool operator()(const Operation& a, const Operation& b) {
    if (a.kind != b.kind || a.bounds.left != b.bounds.left || a.bounds.top != b.bounds.top ||
        a.bounds.right != b.bounds.right || a.bounds.bottom != b.bounds.bottom) {
      return false;
    }
    if (a.kind == Operation::Kind::Clear) return a.clearValue == b.clearValue;
    // One texture and stamp: one level 0 with the same texels.
    return a.texture == b.texture && a.textureStamp == b.textureStamp && a.path == b.path &&
           a.textureOpaque == b.textureOpaque && SameState(a.state, b.state) &&
           a.vertexCount == b.vertexCount &&
           std::memcmp(now_.Vertices(a), before_.Vertices(b), a.vertexCount * sizeof(TLVertex)) ==
               0;
  }

 private:
  // Runs of draws share a state in both frames: each pair of entries is compared once
  // per run.
  bool SameState(uint32_t a, uint32_t b) {
    if (a != lastNow_ || b != lastBefore_) {
      lastNow_ = a;
      lastBefore_ = b;
      lastSame_ = now_.states[a] == before_.states[b];
    }
    return lastSame_;
  }

  const OperationList& now_;
  const OperationList& before_;
  uint32_t lastNow_ = UINT32_MAX, lastBefore_ = UINT32_MAX;
  bool lastSame_ = false;
};

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

bool Device9::ExecuteDamageOnly() {
  // Every pixel is first cleared by the same whole-target clear in both frames (else that
  // clear differs and everything is damaged). A pixel outside every operation that
  // differs then sees the same operations in the same order from the same start in both
  // frames, so it keeps the previous frame's value; inside, the whole frame is redrawn.
  // Frames of equal length pair their operations by position. When an operation comes or
  // goes, the longest equal beginning and end pair up and everything between them, in
  // either frame, differs.
  std::vector<ChangedRect> boxes;
  const auto add = [&](const ChangedRect& r) { AddDisjoint(boxes, r); };
  const std::vector<Operation>& ops = frame_.operations;
  const std::vector<Operation>& last = previous_.operations;
  SameOperation same(frame_, previous_);
  const size_t now = ops.size(), before = last.size();
  if (now == before) {
    for (size_t i = 0; i < now; ++i) {
      if (same(ops[i], last[i])) continue;
      add(ops[i].bounds);
      add(last[i].bounds);
    }
  } else {
    const size_t shorter = std::min(now, before);
    size_t head = 0, tail = 0;
    while (head < shorter && same(ops[head], last[head])) ++head;
    while (tail < shorter - head && same(ops[now - 1 - tail], last[before - 1 - tail])) ++tail;
    for (size_t i = head; i < now - tail; ++i) add(ops[i].bounds);
    for (size_t i = head; i < before - tail; ++i) add(last[i].bounds);
  }
  return RedrawBoxes(boxes, 0, now);
}

bool Device9::ExecuteWhereTheyDraw(size_t from, size_t to) {
  // The buffer holds the last presented frame and what the frame's executed operations
  // drew: pixels outside these operations' own bounds keep their values.
  std::vector<ChangedRect> boxes;
  const int64_t half = TargetArea() / 2;
  for (size_t i = from; i < to; ++i) {
    // A whole clear or a backdrop would be redrawn everywhere anyway.
    if (Area(frame_.operations[i].bounds) > half) return false;
    AddDisjoint(boxes, frame_.operations[i].bounds);
    if (boxes.size() > kMaxDamageBoxes) return false;
  }
  return RedrawBoxes(boxes, from, to);
}

int64_t Device9::TargetArea() const {
  const SurfaceMemory& target = backBuffers_.front()->memory;
  return int64_t{target.width} * target.height;
}

bool Device9::RedrawBoxes(const std::vector<ChangedRect>& boxes, size_t from, size_t to) {
  if (boxes.size() > kMaxDamageBoxes) return false;
  int64_t area = 0;
  for (const ChangedRect& r : boxes) area += Area(r);
  if (area * 2 > TargetArea()) return false;
  for (const ChangedRect& r : boxes) {
    // A box whose draws changed nothing it shows (a texture written again with the same
    // texels, a colour put back) is not handed over, and one that did is narrowed to what
    // differs. Past a size the saving does not pay for the copy.
    const bool small = Area(r) <= kMaxComparedBox;
    if (small) KeepBox(r);
    Execute(from, to, &r);
    if (!small) {
      AddDisjoint(damage_, r);
    } else if (const std::optional<ChangedRect> changed = ChangedInBox(r)) {
      AddDisjoint(damage_, *changed);
    }
  }
  // A target takes a few rectangles.
  MergeInto(damage_, FrameChanges::kMaxRects);
  return true;
}

void Device9::KeepBox(const ChangedRect& r) {
  const SurfaceMemory& target = backBuffers_.front()->memory;
  const size_t w = static_cast<size_t>(r.right - r.left);
  boxBefore_.resize(w * static_cast<size_t>(r.bottom - r.top));
  for (int y = r.top; y < r.bottom; ++y) {
    std::memcpy(boxBefore_.data() + static_cast<size_t>(y - r.top) * w,
                target.bits.get() + static_cast<ptrdiff_t>(y) * target.pitch + r.left * 4, w * 4);
  }
}

std::optional<ChangedRect> Device9::ChangedInBox(const ChangedRect& r) const {
  const SurfaceMemory& target = backBuffers_.front()->memory;
  const int w = r.right - r.left;
  ChangedRect changed{r.right, r.bottom, r.left, r.top};
  for (int y = r.top; y < r.bottom; ++y) {
    const uint32_t* before = boxBefore_.data() + static_cast<size_t>(y - r.top) * w;
    const auto* now = reinterpret_cast<const uint32_t*>(target.bits.get() +
                                                        static_cast<ptrdiff_t>(y) * target.pitch) +
                      r.left;
    if (std::memcmp(before, now, static_cast<size_t>(w) * 4) == 0) continue;
    int first = 0, end = w;
    while (before[first] == now[first]) ++first;
    while (before[end - 1] == now[end - 1]) --end;
    changed = {std::min(changed.left, r.left + first), std::min(changed.top, y),
               std::max(changed.right, r.left + end), y + 1};
  }
  if (changed.left >= changed.right) return std::nullopt;
  return changed;
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
  damageValid_ = false;
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
