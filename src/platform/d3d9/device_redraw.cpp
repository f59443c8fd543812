// Redrawing only where a frame differs from the last presented one: by comparing the two
// frames' operations, or, for a frame drawn over the last one, where its operations draw.
// Each box is redrawn with every operation that reaches into it, then narrowed to the
// pixels that changed.
#include <cstring>

#include "platform/d3d9/changed_rects.h"
#include "platform/d3d9/device.h"

namespace vm_d3d9 {

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
    if (small) {
      CopyBox(r, boxBefore_);
      ExecuteBox(from, to, r);
    } else {
      Execute(from, to, &r);
    }
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

void Device9::ExecuteBox(size_t from, size_t to, const ChangedRect& r) {
  // The operations that reach into the box: one run, the first clearing all of it, so that
  // what the box shows after any number of them depends on those alone.
  const std::vector<Operation>& ops = frame_.operations;
  const auto reaches = [&](const Operation& op) { return Overlap(op.bounds, r); };
  size_t a = from;
  while (a < to && !reaches(ops[a])) ++a;
  size_t b = a;
  while (b < to && reaches(ops[b])) ++b;
  bool run = a < b && ops[a].kind == Operation::Kind::Clear && Contains(ops[a].bounds, r);
  for (size_t i = b; run && i < to; ++i) run = !reaches(ops[i]);
  if (!run) {
    Execute(from, to, &r);
    return;
  }
  // How far the last frame's run there began alike, and what it left after as many as its
  // underlay went through.
  const std::vector<Operation>& last = previous_.operations;
  size_t lastA = 0;
  while (lastA < last.size() && !reaches(last[lastA])) ++lastA;
  SameOperation same(frame_, previous_);
  size_t shared = 0;
  while (a + shared < b && lastA + shared < last.size() &&
         same(ops[a + shared], last[lastA + shared]))
    ++shared;
  size_t start = a;
  Underlay* pasted = nullptr;
  for (Underlay& u : underlays_) {
    if (u.first != lastA || u.depth > shared || !SameRect(u.box, r)) continue;
    PasteBox(r, u.pixels);
    start = a + u.depth;
    pasted = &u;
    break;
  }
  // What the two frames share is likely to stay for the next: its pixels become this
  // frame's underlay.
  Execute(start, a + shared, &r);
  if (shared > 0) {
    Underlay& next = nextUnderlays_.emplace_back();
    next.box = r;
    next.first = a;
    next.depth = shared;
    // Pasted at this depth, the pixels are those already kept.
    if (pasted != nullptr && pasted->depth == shared) {
      next.pixels.swap(pasted->pixels);
    } else {
      CopyBox(r, next.pixels);
    }
  }
  Execute(a + shared, b, &r);
}

void Device9::CopyBox(const ChangedRect& r, std::vector<uint32_t>& pixels) const {
  const SurfaceMemory& target = backBuffers_.front()->memory;
  const size_t w = static_cast<size_t>(r.right - r.left);
  pixels.resize(w * static_cast<size_t>(r.bottom - r.top));
  for (int y = r.top; y < r.bottom; ++y) {
    std::memcpy(pixels.data() + static_cast<size_t>(y - r.top) * w,
                target.bits.get() + static_cast<ptrdiff_t>(y) * target.pitch + r.left * 4, w * 4);
  }
}

void Device9::PasteBox(const ChangedRect& r, const std::vector<uint32_t>& pixels) {
  const SurfaceMemory& target = backBuffers_.front()->memory;
  const size_t w = static_cast<size_t>(r.right - r.left);
  for (int y = r.top; y < r.bottom; ++y) {
    std::memcpy(target.bits.get() + static_cast<ptrdiff_t>(y) * target.pitch + r.left * 4,
                pixels.data() + static_cast<size_t>(y - r.top) * w, w * 4);
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

}  // namespace vm_d3d9
