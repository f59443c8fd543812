// The device's API state: render, texture stage and sampler states, transforms, the
// viewport, the bound texture and the vertex format, and what a draw reads of them.
#include <algorithm>
#include <type_traits>
#include <typeinfo>

#include "platform/d3d9/device.h"

namespace vm_d3d9 {
namespace {

D3DMATRIX Identity() {
  D3DMATRIX m{};
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

}  // namespace

void Device9::ResetStates() {
  ++stateChanges_;
  renderStates_.fill(0);
  renderStates_[D3DRS_ZENABLE] = parameters_.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
  renderStates_[D3DRS_FILLMODE] = D3DFILL_SOLID;
  renderStates_[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  renderStates_[D3DRS_ZWRITEENABLE] = TRUE;
  renderStates_[D3DRS_LASTPIXEL] = TRUE;
  renderStates_[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  renderStates_[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  renderStates_[D3DRS_CULLMODE] = D3DCULL_CCW;
  renderStates_[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  renderStates_[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  renderStates_[D3DRS_FOGEND] = static_cast<DWORD>(Bits(1.0f));
  renderStates_[D3DRS_FOGDENSITY] = static_cast<DWORD>(Bits(1.0f));
  renderStates_[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
  renderStates_[D3DRS_STENCILFAIL] = renderStates_[D3DRS_STENCILZFAIL] =
      renderStates_[D3DRS_STENCILPASS] = 1;
  renderStates_[D3DRS_STENCILMASK] = renderStates_[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFF;
  renderStates_[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
  renderStates_[D3DRS_CLIPPING] = TRUE;
  renderStates_[D3DRS_LIGHTING] = TRUE;
  renderStates_[D3DRS_COLORVERTEX] = TRUE;
  renderStates_[D3DRS_LOCALVIEWER] = TRUE;
  renderStates_[D3DRS_DIFFUSEMATERIALSOURCE] = 1;
  renderStates_[D3DRS_SPECULARMATERIALSOURCE] = 2;
  renderStates_[D3DRS_POINTSIZE] = static_cast<DWORD>(Bits(1.0f));
  renderStates_[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
  renderStates_[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFF;
  renderStates_[D3DRS_COLORWRITEENABLE] = 0xF;
  renderStates_[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
  renderStates_[D3DRS_BLENDFACTOR] = 0xFFFFFFFF;
  renderStates_[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
  renderStates_[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
  renderStates_[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;

  for (DWORD stage = 0; stage < kD3DMaxTextureStages; ++stage) {
    auto& s = stageStates_[stage];
    s.fill(0);
    s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    s[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    s[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    s[D3DTSS_TEXCOORDINDEX] = stage;
    s[D3DTSS_COLORARG0] = s[D3DTSS_ALPHAARG0] = s[D3DTSS_RESULTARG] = D3DTA_CURRENT;
  }
  for (auto& s : samplerStates_) {
    s.fill(0);
    s[D3DSAMP_ADDRESSU] = s[D3DSAMP_ADDRESSV] = s[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    s[D3DSAMP_MAGFILTER] = s[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    s[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    s[D3DSAMP_MAXANISOTROPY] = 1;
  }
  transforms_.fill(Identity());
  viewport_ = {0, 0, parameters_.BackBufferWidth, parameters_.BackBufferHeight, 0.0f, 1.0f};
  scissorRect_ = {0, 0, static_cast<LONG>(parameters_.BackBufferWidth),
                  static_cast<LONG>(parameters_.BackBufferHeight)};
}

HRESULT Device9::BeginScene() {
  recorder_.Record("BeginScene", {});
  if (inScene_) return D3DERR_INVALIDCALL;
  inScene_ = true;
  return D3D_OK;
}

HRESULT Device9::EndScene() {
  recorder_.Record("EndScene", {});
  if (!inScene_) return D3DERR_INVALIDCALL;
  inScene_ = false;
  return D3D_OK;
}

size_t Device9::TransformSlot(D3DTRANSFORMSTATETYPE state) const {
  if (state == D3DTS_VIEW) return 0;
  if (state == D3DTS_PROJECTION) return 1;
  if (state == D3DTS_WORLD) return 2;
  if (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) return 3 + (state - D3DTS_TEXTURE0);
  return kTransformSlots;
}

HRESULT Device9::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  recorder_.Record("SetTransform", {state, Address(matrix)});
  const size_t slot = TransformSlot(state);
  if (matrix == nullptr || slot >= kTransformSlots) return D3DERR_INVALIDCALL;
  transforms_[slot] = *matrix;
  return D3D_OK;
}

HRESULT Device9::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  const size_t slot = TransformSlot(state);
  if (matrix == nullptr || slot >= kTransformSlots) return D3DERR_INVALIDCALL;
  *matrix = transforms_[slot];
  return D3D_OK;
}

HRESULT Device9::SetViewport(const D3DVIEWPORT9* viewport) {
  if (viewport == nullptr) {
    recorder_.Record("SetViewport", {0});
    return D3DERR_INVALIDCALL;
  }
  recorder_.Record("SetViewport", {viewport->X, viewport->Y, viewport->Width, viewport->Height,
                                   Bits(viewport->MinZ), Bits(viewport->MaxZ)});
  const SurfaceMemory& target = backBuffers_.front()->memory;
  if (uint64_t{viewport->X} + viewport->Width > target.width ||
      uint64_t{viewport->Y} + viewport->Height > target.height || viewport->Width == 0 ||
      viewport->Height == 0) {
    return D3DERR_INVALIDCALL;
  }
  viewport_ = *viewport;
  ++stateChanges_;
  return D3D_OK;
}

HRESULT Device9::GetViewport(D3DVIEWPORT9* viewport) {
  if (viewport == nullptr) return D3DERR_INVALIDCALL;
  *viewport = viewport_;
  return D3D_OK;
}

HRESULT Device9::SetScissorRect(const RECT* rect) {
  if (rect == nullptr) {
    recorder_.Record("SetScissorRect", {0});
    return D3DERR_INVALIDCALL;
  }
  recorder_.Record("SetScissorRect",
                   {static_cast<uint32_t>(rect->left), static_cast<uint32_t>(rect->top),
                    static_cast<uint32_t>(rect->right), static_cast<uint32_t>(rect->bottom)});
  scissorRect_ = *rect;
  ++stateChanges_;
  return D3D_OK;
}

HRESULT Device9::GetScissorRect(RECT* rect) {
  if (rect == nullptr) return D3DERR_INVALIDCALL;
  *rect = scissorRect_;
  return D3D_OK;
}

HRESULT Device9::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  recorder_.Record("SetRenderState", {state, value});
  if (state >= kD3DRenderStateCount) return D3DERR_INVALIDCALL;
  if (renderStates_[state] != value) ++stateChanges_;
  renderStates_[state] = value;
  return D3D_OK;
}

HRESULT Device9::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (value == nullptr || state >= kD3DRenderStateCount) return D3DERR_INVALIDCALL;
  *value = renderStates_[state];
  return D3D_OK;
}

HRESULT Device9::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
  if (texture == nullptr || stage >= kD3DMaxTextureStages) return D3DERR_INVALIDCALL;
  *texture = textures_[stage];
  if (*texture != nullptr) (*texture)->AddRef();
  return D3D_OK;
}

HRESULT Device9::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
  recorder_.Record("SetTexture", {stage, Address(texture)});
  if (stage >= kD3DMaxTextureStages) return D3DERR_INVALIDCALL;
  // Binding the bound texture again changes nothing (it was checked when first bound).
  if (texture != nullptr && texture == textures_[stage]) return D3D_OK;
  Texture9* ours = nullptr;
  if (texture != nullptr) {
    // Texture9 is final: the exact type is the whole check, a cast across the hierarchy
    // is not needed for every draw.
    static_assert(std::is_final_v<Texture9>);
    if (typeid(*texture) != typeid(Texture9)) return D3DERR_INVALIDCALL;
    ours = static_cast<Texture9*>(texture);
    if (ours->Owner() != this) return D3DERR_INVALIDCALL;
    if (ours->Pool() != D3DPOOL_DEFAULT && ours->Pool() != D3DPOOL_MANAGED) {
      return D3DERR_INVALIDCALL;
    }
  }
  // The device holds a reference to every bound texture.
  if (ours != nullptr) ours->AddRef();
  if (textures_[stage] != nullptr) textures_[stage]->Release();
  // A draw's state tells only whether a texture is bound; the texture goes with the draw.
  if ((ours == nullptr) != (textures_[stage] == nullptr)) ++stateChanges_;
  textures_[stage] = ours;
  return D3D_OK;
}

HRESULT Device9::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
  if (value == nullptr || stage >= kD3DMaxTextureStages || type >= kD3DTextureStageStateCount) {
    return D3DERR_INVALIDCALL;
  }
  *value = stageStates_[stage][type];
  return D3D_OK;
}

HRESULT Device9::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  recorder_.Record("SetTextureStageState", {stage, type, value});
  if (stage >= kD3DMaxTextureStages || type >= kD3DTextureStageStateCount) {
    return D3DERR_INVALIDCALL;
  }
  if (stageStates_[stage][type] != value) ++stateChanges_;
  stageStates_[stage][type] = value;
  return D3D_OK;
}

HRESULT Device9::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
  recorder_.Record("GetSamplerState", {sampler, type});
  if (value == nullptr || sampler >= kSamplerCount || type >= kD3DSamplerStateCount) {
    return D3DERR_INVALIDCALL;
  }
  *value = samplerStates_[sampler][type];
  return D3D_OK;
}

HRESULT Device9::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  recorder_.Record("SetSamplerState", {sampler, type, value});
  if (sampler >= kSamplerCount || type >= kD3DSamplerStateCount) return D3DERR_INVALIDCALL;
  if (samplerStates_[sampler][type] != value) ++stateChanges_;
  samplerStates_[sampler][type] = value;
  return D3D_OK;
}

HRESULT Device9::SetFVF(DWORD fvf) {
  recorder_.Record("SetFVF", {fvf});
  fvf_ = fvf;
  return D3D_OK;
}

HRESULT Device9::GetFVF(DWORD* fvf) {
  if (fvf == nullptr) return D3DERR_INVALIDCALL;
  *fvf = fvf_;
  return D3D_OK;
}

void Device9::FillRasterState(RasterState* out) const {
  RasterState& state = *out;
  state.clipLeft = static_cast<int>(viewport_.X);
  state.clipTop = static_cast<int>(viewport_.Y);
  state.clipRight = static_cast<int>(viewport_.X + viewport_.Width);
  state.clipBottom = static_cast<int>(viewport_.Y + viewport_.Height);
  const auto& rs = renderStates_;
  state.cullMode = rs[D3DRS_CULLMODE];
  state.shadeMode = rs[D3DRS_SHADEMODE];

  const auto& stage = stageStates_[0];
  const auto& sampler = samplerStates_[0];
  state.hasTexture = textures_[0] != nullptr;
  if (state.hasTexture) {
    state.magFilter = sampler[D3DSAMP_MAGFILTER];
    state.minFilter = sampler[D3DSAMP_MINFILTER];
    state.addressU = sampler[D3DSAMP_ADDRESSU];
    state.addressV = sampler[D3DSAMP_ADDRESSV];
    state.borderColor = sampler[D3DSAMP_BORDERCOLOR];
  }
  state.colorOp = stage[D3DTSS_COLOROP];
  state.colorArg1 = stage[D3DTSS_COLORARG1];
  state.colorArg2 = stage[D3DTSS_COLORARG2];
  state.alphaOp = stage[D3DTSS_ALPHAOP];
  state.alphaArg1 = stage[D3DTSS_ALPHAARG1];
  state.alphaArg2 = stage[D3DTSS_ALPHAARG2];
  state.textureFactor = rs[D3DRS_TEXTUREFACTOR];

  state.alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
  state.alphaFunc = rs[D3DRS_ALPHAFUNC];
  state.alphaRef = rs[D3DRS_ALPHAREF];

  // Without a depth buffer the Z states have nothing to act on.
  if (depthSurface_ && rs[D3DRS_ZENABLE] != D3DZB_FALSE) {
    state.depth = {const_cast<float*>(depth_.data()), static_cast<int>(parameters_.BackBufferWidth),
                   static_cast<int>(parameters_.BackBufferHeight)};
    state.depthTest = true;
    state.depthWrite = rs[D3DRS_ZWRITEENABLE] != 0;
    state.depthFunc = rs[D3DRS_ZFUNC];
  }

  state.blend = rs[D3DRS_ALPHABLENDENABLE] != 0;
  state.srcBlend = rs[D3DRS_SRCBLEND];
  state.destBlend = rs[D3DRS_DESTBLEND];
  state.blendOp = blendOpEnabled_ ? rs[D3DRS_BLENDOP] : static_cast<DWORD>(D3DBLENDOP_ADD);
  state.blendFactor = rs[D3DRS_BLENDFACTOR];
  state.colorWriteMask = rs[D3DRS_COLORWRITEENABLE] & 0xF;
  state.avx2 = rasterPath_ == RasterPath::Fast && cpuHasAvx2_;
  if (rs[D3DRS_SCISSORTESTENABLE] != 0) {
    state.scissorLeft = static_cast<int>(scissorRect_.left);
    state.scissorTop = static_cast<int>(scissorRect_.top);
    state.scissorRight = static_cast<int>(scissorRect_.right);
    state.scissorBottom = static_cast<int>(scissorRect_.bottom);
  }
}
}  // namespace vm_d3d9
