// Where a frame of quads differs from the frame drawn before it: the boxes a redraw must
// cover when the back buffer still holds the earlier frame.
//
// The two frames' quads are paired in order, identical quads only; a quad put in or left
// out between two pairs shifts the rest without unpairing them (a character leaving the
// board, an answer arriving). Every unpaired quad's pixels go into the boxes. A pixel outside
// them is covered by the same quads, identical and in the same order, in both frames, so
// from the same clear it gets the same value.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "sx/rendering_queue.h"

namespace sx {

// The pixels a quad may write, as the device bounds a draw: those whose centres its
// vertices' extent holds, [left, right) x [top, bottom), within `clip`. All of `clip` when
// a coordinate is not finite or beyond a billion.
RECT QuadBounds(const TSXQueuedQuad& quad, const RECT& clip);

// The two quads draw the same pixels with the same texels, colours and states.
bool SameQuad(const TSXQueuedQuad& a, const TSXQueuedQuad& b);

// Fills `boxes` with rectangles that share no pixel and cover the bounds of every unpaired
// quad of `now` and `before`. False when they would be more than `maxBoxes`.
bool FindChangedBoxes(std::span<const TSXQueuedQuad> now, std::span<const TSXQueuedQuad> before,
                      std::size_t maxBoxes, std::vector<RECT>& boxes);
// The same for a frame requeued from the last one (TSXRenderingQueue::RequeueDrawn): the
// quads replaced, where they were and are, and the quads of `now` after the first
// `requeued`.
bool FindReplacedBoxes(std::span<const TSXReplacement> replaced, std::span<const TSXQueuedQuad> now,
                       std::size_t requeued, std::size_t maxBoxes, std::vector<RECT>& boxes);

// The two rectangles share a pixel.
bool Overlap(const RECT& a, const RECT& b);

}  // namespace sx
