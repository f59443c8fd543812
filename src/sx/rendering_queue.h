// One pass of the scene: quads queued during a frame, drawn in adding order or far to
// near, with render, sampler and texture state changes filtered against what the pass
// has already set. The quads of the frame drawn last stay beside the new ones, so that the
// scene can tell what changed.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "sx/vertex.h"

namespace dg {
class TDGCarad;
class TDGTexture;
}  // namespace dg

namespace sx {

class TSXScene;

struct TSXQueuedQuad {
  bool linearFilter;
  std::int32_t blendMode;
  dg::TDGTexture* texture;       // borrowed; may be null
  std::uint64_t textureVersion;  // the texture's Version() when queued
  float x;
  float y;
  float z;                // 0.0 (near) .. 1.0 (far); also the sort key
  TSXVertex vertices[4];  // strip order: top-left, top-right, bottom-left, bottom-right
  RECT bounds;            // the pixels it may write within the scene's viewport
};

// A quad of a requeued frame replaced by another: its index and what it was.
struct TSXReplacement {
  std::size_t index;
  TSXQueuedQuad before;
};

enum class TSXDrawOrder { Added, FarToNear };

class TSXRenderingQueue {
 public:
  static constexpr std::size_t kInitialCapacity = 32;

  TSXRenderingQueue(dg::TDGCarad* device, TSXScene* scene);
  TSXRenderingQueue(const TSXRenderingQueue&) = delete;
  TSXRenderingQueue& operator=(const TSXRenderingQueue&) = delete;

  // Copies the quad; a full queue doubles its capacity first.
  void AddQuad(bool linearFilter, std::int32_t blendMode, const TSXVertex (&vertices)[4],
               dg::TDGTexture* texture, float x, float y, float z);
  // Quad `index` (below Count()) becomes the one given.
  void ReplaceQuad(std::size_t index, bool linearFilter, std::int32_t blendMode,
                   const TSXVertex (&vertices)[4], dg::TDGTexture* texture, float x, float y,
                   float z);
  // Queues the quads of the frame drawn last again, into an empty queue. They move rather
  // than being copied: until EndFrame the queue tells what changed of them by Replacements
  // and the quads added after Requeued() of them, instead of keeping them as drawn.
  void RequeueDrawn();
  std::size_t Requeued() const { return requeued_; }
  std::span<const TSXReplacement> Replacements() const { return replacements_; }
  // Draws every queued quad on the wrapper's device and empties the queue: Draw, then
  // EndFrame.
  void DrawQueue(TSXDrawOrder order);
  // Draws the queued quads on the wrapper's device, only those that may write a pixel of
  // `within` when it is given (the device's scissor test keeps them inside it). With
  // FarToNear only quads of z >= 0 take part. Each drawn quad finds the device as it would
  // in a draw of them all.
  void Draw(TSXDrawOrder order, const RECT* within);
  // The queued quads become the frame drawn last, and the queue is empty.
  void EndFrame();
  // Empties the queue without drawing, and forgets the frame drawn last.
  void Discard() {
    count_ = 0;
    drawnCount_ = 0;
    requeued_ = 0;
    replacements_.clear();
  }

  std::size_t Count() const { return count_; }
  std::size_t Capacity() const { return quads_.size(); }
  const TSXQueuedQuad& Quad(std::size_t index) const { return quads_[index]; }
  std::span<const TSXQueuedQuad> Queued() const { return {quads_.data(), count_}; }
  std::span<const TSXQueuedQuad> Drawn() const { return {drawn_.data(), drawnCount_}; }

 private:
  // Fills order_ with the indexes of the quads to draw, in drawing order; returns how many.
  std::size_t ArrangeOrder(TSXDrawOrder order);
  void Grow();
  void Fill(TSXQueuedQuad& quad, bool linearFilter, std::int32_t blendMode,
            const TSXVertex (&vertices)[4], dg::TDGTexture* texture, float x, float y,
            float z) const;

  dg::TDGCarad* device_;  // borrowed
  TSXScene* scene_;       // borrowed, the owner
  // Sized to the capacity; the first count_ entries are queued, the first drawnCount_ of
  // drawn_ were the frame drawn last (unless requeued_, when they are the first requeued_ of
  // quads_, but for replacements_). Kept across frames so that a steady frame allocates
  // nothing.
  std::vector<TSXQueuedQuad> quads_;
  std::size_t count_ = 0;
  std::vector<TSXQueuedQuad> drawn_;
  std::size_t drawnCount_ = 0;
  std::size_t requeued_ = 0;
  std::vector<TSXReplacement> replacements_;
  std::vector<std::int32_t> order_;
  std::vector<float> keys_;
};

}  // namespace sx
