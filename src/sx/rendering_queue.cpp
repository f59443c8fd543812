#include "sx/rendering_queue.h"

#include <algorithm>
#include <utility>

#include "dg/carad.h"
#include "dg/texture.h"
#include "sx/frame_damage.h"
#include "sx/scene.h"

namespace sx {
namespace {

// D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1
constexpr DWORD kQuadFVF = 0x1C4;

struct OutputVertex {
  float x, y, z, rhw;
  DWORD diffuse;
  DWORD specular;
  float u, v;
};
static_assert(sizeof(OutputVertex) == 32);

// Descending keys (farthest first): quicksort with the middle element as pivot and Hoare
// partitioning. Equal keys end up in no particular order.
void SortFarToNear(std::int32_t* order, float* keys, std::ptrdiff_t lo, std::ptrdiff_t hi) {
  while (lo < hi) {
    const float pivot = keys[lo + (hi - lo) / 2];
    std::ptrdiff_t i = lo;
    std::ptrdiff_t j = hi;
    while (i <= j) {
      while (keys[i] > pivot) ++i;
      while (keys[j] < pivot) --j;
      if (i <= j) {
        std::swap(keys[i], keys[j]);
        std::swap(order[i], order[j]);
        ++i;
        --j;
      }
    }
    // Recurse into the smaller side so the stack stays logarithmic.
    if (j - lo < hi - i) {
      SortFarToNear(order, keys, lo, j);
      lo = i;
    } else {
      SortFarToNear(order, keys, i, hi);
      hi = j;
    }
  }
}

// What the pass has set on the device, so that repeated values are not sent again.
struct PassState {
  IDirect3DBaseTexture9* texture = nullptr;
  std::int32_t blendMode = 0;
  DWORD specular = 1;
  DWORD lighting = 1;
  DWORD wrap0 = 0;
  DWORD fillMode = D3DFILL_SOLID;
  bool filterSet = false;
  bool linearFilter = false;
  DWORD savedMagFilter = 0;
  DWORD savedMinFilter = 0;
};

void SetStartingState(IDirect3DDevice9* device) {
  device->SetTexture(0, nullptr);
  device->SetRenderState(D3DRS_SPECULARENABLE, 1);
  device->SetRenderState(D3DRS_LIGHTING, 1);
  device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  device->SetRenderState(D3DRS_WRAP0, 0);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  device->SetRenderState(D3DRS_ZENABLE, 1);
  device->SetRenderState(D3DRS_ZWRITEENABLE, 1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
}

void SetFilters(IDirect3DDevice9* device, bool linear) {
  const DWORD filter = linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
}

void ApplyBlendMode(IDirect3DDevice9* device, const TSXBlendMode& mode, bool blendOpSupported) {
  if (mode.blendEnable) {
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRS_ZWRITEENABLE, 0);
    device->SetRenderState(D3DRS_SRCBLEND, mode.srcBlend);
    device->SetRenderState(D3DRS_DESTBLEND, mode.destBlend);
    if (blendOpSupported) device->SetRenderState(D3DRS_BLENDOP, mode.blendOp);
  } else {
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    device->SetRenderState(D3DRS_ZWRITEENABLE, 1);
  }
  if (mode.alphaTest != 0) {
    device->SetRenderState(D3DRS_ALPHATESTENABLE, mode.alphaTest);
    device->SetRenderState(D3DRS_ALPHAFUNC, mode.alphaFunc);
  }
}

void SetIfChanged(IDirect3DDevice9* device, D3DRENDERSTATETYPE state, DWORD value, DWORD& current) {
  if (current == value) return;
  device->SetRenderState(state, value);
  current = value;
}

}  // namespace

TSXRenderingQueue::TSXRenderingQueue(dg::TDGCarad* device, TSXScene* scene)
    : device_(device),
      scene_(scene),
      quads_(kInitialCapacity),
      drawn_(kInitialCapacity),
      order_(kInitialCapacity),
      keys_(kInitialCapacity) {}

void TSXRenderingQueue::Grow() {
  const std::size_t capacity = quads_.size() * 2;
  quads_.resize(capacity);
  drawn_.resize(capacity);
  order_.resize(capacity);
  keys_.resize(capacity);
}

void TSXRenderingQueue::AddQuad(bool linearFilter, std::int32_t blendMode,
                                const TSXVertex (&vertices)[4], dg::TDGTexture* texture, float x,
                                float y, float z) {
  if (count_ == quads_.size()) Grow();
  Fill(quads_[count_++], linearFilter, blendMode, vertices, texture, x, y, z);
}

void TSXRenderingQueue::ReplaceQuad(std::size_t index, bool linearFilter, std::int32_t blendMode,
                                    const TSXVertex (&vertices)[4], dg::TDGTexture* texture,
                                    float x, float y, float z) {
  if (index >= count_) return;
  if (index < requeued_ &&
      std::none_of(replacements_.begin(), replacements_.end(),
                   [&](const TSXReplacement& r) { return r.index == index; })) {
    replacements_.push_back({index, quads_[index]});
  }
  Fill(quads_[index], linearFilter, blendMode, vertices, texture, x, y, z);
}

void TSXRenderingQueue::RequeueDrawn() {
  if (count_ != 0) return;
  quads_.swap(drawn_);
  count_ = requeued_ = drawnCount_;
}

void TSXRenderingQueue::Fill(TSXQueuedQuad& quad, bool linearFilter, std::int32_t blendMode,
                             const TSXVertex (&vertices)[4], dg::TDGTexture* texture, float x,
                             float y, float z) const {
  quad.linearFilter = linearFilter;
  quad.blendMode = blendMode;
  quad.texture = texture;
  quad.textureVersion = texture != nullptr ? texture->Version() : 0;
  quad.x = x;
  quad.y = y;
  quad.z = z;
  for (int i = 0; i < 4; ++i) quad.vertices[i] = vertices[i];
  const D3DVIEWPORT9& v = scene_->Viewport();
  quad.bounds =
      QuadBounds(quad, RECT{static_cast<LONG>(v.X), static_cast<LONG>(v.Y),
                            static_cast<LONG>(v.X + v.Width), static_cast<LONG>(v.Y + v.Height)});
}

std::size_t TSXRenderingQueue::ArrangeOrder(TSXDrawOrder order) {
  if (order == TSXDrawOrder::Added) {
    for (std::size_t i = 0; i < count_; ++i) order_[i] = static_cast<std::int32_t>(i);
    return count_;
  }
  std::size_t taking = 0;
  for (std::size_t i = 0; i < count_; ++i) {
    // Written so that a NaN depth is left out with the negative ones.
    if (!(quads_[i].z >= 0.0f)) continue;
    order_[taking] = static_cast<std::int32_t>(i);
    keys_[taking] = quads_[i].z;
    ++taking;
  }
  if (taking > 1)
    SortFarToNear(order_.data(), keys_.data(), 0, static_cast<std::ptrdiff_t>(taking) - 1);
  return taking;
}

void TSXRenderingQueue::DrawQueue(TSXDrawOrder order) {
  Draw(order, nullptr);
  EndFrame();
}

void TSXRenderingQueue::EndFrame() {
  quads_.swap(drawn_);
  drawnCount_ = count_;
  count_ = 0;
  requeued_ = 0;
  replacements_.clear();
}

void TSXRenderingQueue::Draw(TSXDrawOrder order, const RECT* within) {
  IDirect3DDevice9* device = device_ != nullptr ? device_->Device() : nullptr;
  if (device == nullptr) return;
  SetStartingState(device);
  PassState state;
  const bool blendOpSupported = scene_->BlendOpSupported();
  const std::size_t drawing = ArrangeOrder(order);

  for (std::size_t n = 0; n < drawing; ++n) {
    const TSXQueuedQuad& quad = quads_[static_cast<std::size_t>(order_[n])];

    if (within != nullptr && !Overlap(quad.bounds, *within)) {
      // Not drawn, but its blend mode is set as a draw of them all sets it: a mode may leave
      // the alpha test on for the quads after it.
      if (quad.blendMode != state.blendMode) {
        const TSXBlendMode* mode = scene_->BlendMode(quad.blendMode);
        if (mode != nullptr) ApplyBlendMode(device, *mode, blendOpSupported);
        state.blendMode = quad.blendMode;
      }
      continue;
    }

    if (!state.filterSet) {
      device->GetSamplerState(0, D3DSAMP_MAGFILTER, &state.savedMagFilter);
      device->GetSamplerState(0, D3DSAMP_MINFILTER, &state.savedMinFilter);
      SetFilters(device, quad.linearFilter);
      state.filterSet = true;
      state.linearFilter = quad.linearFilter;
    } else if (quad.linearFilter != state.linearFilter) {
      SetFilters(device, quad.linearFilter);
      state.linearFilter = quad.linearFilter;
    }

    if (quad.blendMode != state.blendMode) {
      const TSXBlendMode* mode = scene_->BlendMode(quad.blendMode);
      if (mode != nullptr) ApplyBlendMode(device, *mode, blendOpSupported);
      state.blendMode = quad.blendMode;
    }

    IDirect3DBaseTexture9* texture = quad.texture != nullptr ? quad.texture->Texture() : nullptr;
    if (texture != state.texture) {
      device->SetTexture(0, texture);
      state.texture = texture;
    }

    SetIfChanged(device, D3DRS_SPECULARENABLE, 0, state.specular);
    SetIfChanged(device, D3DRS_LIGHTING, 0, state.lighting);
    SetIfChanged(device, D3DRS_WRAP0, 0, state.wrap0);
    SetIfChanged(device, D3DRS_FILLMODE, D3DFILL_SOLID, state.fillMode);

    if (!(quad.z >= 0.0f)) continue;
    OutputVertex out[4];
    for (int i = 0; i < 4; ++i) {
      const TSXVertex& v = quad.vertices[i];
      out[i] = OutputVertex{quad.x + v.x, quad.y + v.y, quad.z, 0.5f, v.colour, 0, v.u, v.v};
    }
    device->SetFVF(kQuadFVF);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, out, sizeof(OutputVertex));
  }

  if (state.filterSet) {
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, state.savedMagFilter);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, state.savedMinFilter);
  }
}

}  // namespace sx
