#include "platform/d3d9/call_recorder.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d9/d3d9types.h"

namespace {

struct NamedValue {
  uint32_t value;
  const char* name;
};

#define VM_NAME(x) \
  { x, #x }

constexpr NamedValue kRenderStates[] = {
    VM_NAME(D3DRS_ZENABLE),
    VM_NAME(D3DRS_FILLMODE),
    VM_NAME(D3DRS_SHADEMODE),
    VM_NAME(D3DRS_ZWRITEENABLE),
    VM_NAME(D3DRS_ALPHATESTENABLE),
    VM_NAME(D3DRS_LASTPIXEL),
    VM_NAME(D3DRS_SRCBLEND),
    VM_NAME(D3DRS_DESTBLEND),
    VM_NAME(D3DRS_CULLMODE),
    VM_NAME(D3DRS_ZFUNC),
    VM_NAME(D3DRS_ALPHAREF),
    VM_NAME(D3DRS_ALPHAFUNC),
    VM_NAME(D3DRS_DITHERENABLE),
    VM_NAME(D3DRS_ALPHABLENDENABLE),
    VM_NAME(D3DRS_FOGENABLE),
    VM_NAME(D3DRS_SPECULARENABLE),
    VM_NAME(D3DRS_FOGCOLOR),
    VM_NAME(D3DRS_FOGTABLEMODE),
    VM_NAME(D3DRS_FOGSTART),
    VM_NAME(D3DRS_FOGEND),
    VM_NAME(D3DRS_FOGDENSITY),
    VM_NAME(D3DRS_RANGEFOGENABLE),
    VM_NAME(D3DRS_STENCILENABLE),
    VM_NAME(D3DRS_STENCILFAIL),
    VM_NAME(D3DRS_STENCILZFAIL),
    VM_NAME(D3DRS_STENCILPASS),
    VM_NAME(D3DRS_STENCILFUNC),
    VM_NAME(D3DRS_STENCILREF),
    VM_NAME(D3DRS_STENCILMASK),
    VM_NAME(D3DRS_STENCILWRITEMASK),
    VM_NAME(D3DRS_TEXTUREFACTOR),
    VM_NAME(D3DRS_WRAP0),
    VM_NAME(D3DRS_WRAP1),
    VM_NAME(D3DRS_WRAP2),
    VM_NAME(D3DRS_WRAP3),
    VM_NAME(D3DRS_WRAP4),
    VM_NAME(D3DRS_WRAP5),
    VM_NAME(D3DRS_WRAP6),
    VM_NAME(D3DRS_WRAP7),
    VM_NAME(D3DRS_CLIPPING),
    VM_NAME(D3DRS_LIGHTING),
    VM_NAME(D3DRS_AMBIENT),
    VM_NAME(D3DRS_FOGVERTEXMODE),
    VM_NAME(D3DRS_COLORVERTEX),
    VM_NAME(D3DRS_LOCALVIEWER),
    VM_NAME(D3DRS_NORMALIZENORMALS),
    VM_NAME(D3DRS_DIFFUSEMATERIALSOURCE),
    VM_NAME(D3DRS_SPECULARMATERIALSOURCE),
    VM_NAME(D3DRS_AMBIENTMATERIALSOURCE),
    VM_NAME(D3DRS_EMISSIVEMATERIALSOURCE),
    VM_NAME(D3DRS_VERTEXBLEND),
    VM_NAME(D3DRS_CLIPPLANEENABLE),
    VM_NAME(D3DRS_POINTSIZE),
    VM_NAME(D3DRS_MULTISAMPLEANTIALIAS),
    VM_NAME(D3DRS_MULTISAMPLEMASK),
    VM_NAME(D3DRS_COLORWRITEENABLE),
    VM_NAME(D3DRS_BLENDOP),
    VM_NAME(D3DRS_SCISSORTESTENABLE),
    VM_NAME(D3DRS_SLOPESCALEDEPTHBIAS),
    VM_NAME(D3DRS_ANTIALIASEDLINEENABLE),
    VM_NAME(D3DRS_TWOSIDEDSTENCILMODE),
    VM_NAME(D3DRS_BLENDFACTOR),
    VM_NAME(D3DRS_SRGBWRITEENABLE),
    VM_NAME(D3DRS_DEPTHBIAS),
    VM_NAME(D3DRS_SEPARATEALPHABLENDENABLE),
    VM_NAME(D3DRS_SRCBLENDALPHA),
    VM_NAME(D3DRS_DESTBLENDALPHA),
    VM_NAME(D3DRS_BLENDOPALPHA),
};

constexpr NamedValue kStageStates[] = {
    VM_NAME(D3DTSS_COLOROP),        VM_NAME(D3DTSS_COLORARG1),
    VM_NAME(D3DTSS_COLORARG2),      VM_NAME(D3DTSS_ALPHAOP),
    VM_NAME(D3DTSS_ALPHAARG1),      VM_NAME(D3DTSS_ALPHAARG2),
    VM_NAME(D3DTSS_BUMPENVMAT00),   VM_NAME(D3DTSS_BUMPENVMAT01),
    VM_NAME(D3DTSS_BUMPENVMAT10),   VM_NAME(D3DTSS_BUMPENVMAT11),
    VM_NAME(D3DTSS_TEXCOORDINDEX),  VM_NAME(D3DTSS_BUMPENVLSCALE),
    VM_NAME(D3DTSS_BUMPENVLOFFSET), VM_NAME(D3DTSS_TEXTURETRANSFORMFLAGS),
    VM_NAME(D3DTSS_COLORARG0),      VM_NAME(D3DTSS_ALPHAARG0),
    VM_NAME(D3DTSS_RESULTARG),      VM_NAME(D3DTSS_CONSTANT),
};

constexpr NamedValue kSamplerStates[] = {
    VM_NAME(D3DSAMP_ADDRESSU),      VM_NAME(D3DSAMP_ADDRESSV),      VM_NAME(D3DSAMP_ADDRESSW),
    VM_NAME(D3DSAMP_BORDERCOLOR),   VM_NAME(D3DSAMP_MAGFILTER),     VM_NAME(D3DSAMP_MINFILTER),
    VM_NAME(D3DSAMP_MIPFILTER),     VM_NAME(D3DSAMP_MIPMAPLODBIAS), VM_NAME(D3DSAMP_MAXMIPLEVEL),
    VM_NAME(D3DSAMP_MAXANISOTROPY), VM_NAME(D3DSAMP_SRGBTEXTURE),   VM_NAME(D3DSAMP_ELEMENTINDEX),
    VM_NAME(D3DSAMP_DMAPOFFSET),
};

constexpr NamedValue kFormats[] = {
    VM_NAME(D3DFMT_UNKNOWN),  VM_NAME(D3DFMT_R8G8B8),   VM_NAME(D3DFMT_A8R8G8B8),
    VM_NAME(D3DFMT_X8R8G8B8), VM_NAME(D3DFMT_R5G6B5),   VM_NAME(D3DFMT_X1R5G5B5),
    VM_NAME(D3DFMT_A1R5G5B5), VM_NAME(D3DFMT_A4R4G4B4), VM_NAME(D3DFMT_P8),
    VM_NAME(D3DFMT_D16),      VM_NAME(D3DFMT_D24S8),    VM_NAME(D3DFMT_D24X8),
    VM_NAME(D3DFMT_D32),
};

#undef VM_NAME

template <size_t N>
std::string Lookup(const NamedValue (&table)[N], uint32_t value) {
  for (const NamedValue& entry : table) {
    if (entry.value == value) return entry.name;
  }
  return std::to_string(value);
}

}  // namespace

std::string D3DRenderStateName(uint32_t state) { return Lookup(kRenderStates, state); }
std::string D3DTextureStageStateName(uint32_t state) { return Lookup(kStageStates, state); }
std::string D3DSamplerStateName(uint32_t state) { return Lookup(kSamplerStates, state); }
std::string D3DFormatCodeName(uint32_t format) { return Lookup(kFormats, format); }

std::string D3DCall::Text() const {
  std::string text = method;
  text += '(';
  for (size_t i = 0; i < argCount; ++i) {
    if (i > 0) text += ", ";
    const uint32_t low = static_cast<uint32_t>(args[i]);
    if (i == 0 && (Is("SetRenderState") || Is("GetRenderState"))) {
      text += D3DRenderStateName(low);
    } else if (i == 1 && (Is("SetTextureStageState") || Is("GetTextureStageState"))) {
      text += D3DTextureStageStateName(low);
    } else if (i == 1 && (Is("SetSamplerState") || Is("GetSamplerState"))) {
      text += D3DSamplerStateName(low);
    } else if (i == 4 && Is("CreateTexture")) {
      text += D3DFormatCodeName(low);
    } else {
      text += std::to_string(args[i]);
    }
  }
  text += ')';
  return text;
}

size_t CallRecorder::Count(std::string_view method) const {
  return static_cast<size_t>(std::count_if(calls_.begin(), calls_.end(),
                                           [&](const D3DCall& call) { return call.Is(method); }));
}

std::vector<std::string> CallRecorder::Lines(std::string_view method) const {
  std::vector<std::string> lines;
  for (const D3DCall& call : calls_) {
    if (method.empty() || call.Is(method)) lines.push_back(call.Text());
  }
  return lines;
}

void CallRecorder::Append(const char* method, std::initializer_list<uint64_t> args) {
  D3DCall call;
  call.method = method;
  for (uint64_t arg : args) {
    if (call.argCount == call.args.size()) break;
    call.args[call.argCount++] = arg;
  }
  calls_.push_back(call);
}
