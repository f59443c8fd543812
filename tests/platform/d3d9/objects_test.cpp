// The object model of the software device: reference counts, capabilities, formats,
// locking, presenting and the call recording.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/device_fixture.h"

namespace {

using vm_d3d9_test::TestDevice;

D3DPRESENT_PARAMETERS Windowed(UINT w, UINT h, HWND window = nullptr) {
  D3DPRESENT_PARAMETERS p{};
  p.BackBufferWidth = w;
  p.BackBufferHeight = h;
  p.BackBufferFormat = D3DFMT_UNKNOWN;
  p.SwapEffect = D3DSWAPEFFECT_DISCARD;
  p.Windowed = TRUE;
  p.hDeviceWindow = window;
  return p;
}

TEST(Direct3DCreate9, NeedsTheSdkVersionAndAvailableDirect3D) {
  EXPECT_EQ(Direct3DCreate9(30), nullptr);
  SoftwareDeviceOptions none;
  none.direct3DAvailable = false;
  EXPECT_EQ(Direct3DCreate9WithOptions(D3D_SDK_VERSION, none), nullptr);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d, nullptr);
  EXPECT_EQ(d3d->Release(), 0u);
}

TEST(Direct3DCreate9, DefaultOptionsReachCodeThatCreatesItsOwnObject) {
  SoftwareDeviceOptions pow2;
  pow2.pow2Only = true;
  SetDefaultSoftwareDeviceOptions(pow2);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  SetDefaultSoftwareDeviceOptions({});
  D3DCAPS9 caps{};
  EXPECT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_NE(caps.TextureCaps & D3DPTEXTURECAPS_POW2, 0u);
  d3d->Release();
}

TEST(ReferenceCounts, ReleaseReturnsWhatRemainsAndResourcesHoldTheirDevice) {
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  D3DPRESENT_PARAMETERS p = Windowed(64, 48);
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p,
                              &device),
            D3D_OK);
  EXPECT_EQ(d3d->AddRef(), 3u);  // ours, the device's, this one
  EXPECT_EQ(d3d->Release(), 2u);

  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
            D3D_OK);
  EXPECT_EQ(texture->GetLevelCount(), 4u);
  IDirect3DSurface9* level = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(1, &level), D3D_OK);
  EXPECT_EQ(level->Release(), 1u);  // a level's references are its texture's

  // A bound texture is held by the device.
  EXPECT_EQ(device->SetTexture(0, texture), D3D_OK);
  EXPECT_EQ(texture->Release(), 1u);
  EXPECT_EQ(device->SetTexture(0, nullptr), D3D_OK);  // frees the texture

  IDirect3DSurface9* backBuffer = nullptr;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
  IDirect3DTexture9* live = nullptr;
  ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &live, nullptr),
            D3D_OK);
  EXPECT_EQ(device->Release(), 2u);  // the back buffer and the texture still hold it
  EXPECT_EQ(backBuffer->Release(), 0u);
  EXPECT_EQ(live->Release(), 0u);  // the device goes with it
  EXPECT_EQ(d3d->Release(), 0u);
}

TEST(ReferenceCounts, DepthSurfaceExistsOnlyWhenAsked) {
  for (BOOL depth : {FALSE, TRUE}) {
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS p = Windowed(16, 16);
    p.EnableAutoDepthStencil = depth;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p,
                                &device),
              D3D_OK);
    IDirect3DSurface9* ds = nullptr;
    EXPECT_EQ(device->GetDepthStencilSurface(&ds), depth ? D3D_OK : D3DERR_NOTFOUND);
    DWORD zenable = 7;
    device->GetRenderState(D3DRS_ZENABLE, &zenable);
    EXPECT_EQ(zenable, depth ? 1u : 0u);
    if (ds != nullptr) {
      D3DSURFACE_DESC desc{};
      ds->GetDesc(&desc);
      EXPECT_EQ(desc.Format, D3DFMT_D16);
      EXPECT_EQ(ds->Release(), 0u);
    }
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
  }
}

TEST(CreateDevice, CompletesTheParametersAndChecksThem) {
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  FrameTarget window(320, 200);
  D3DPRESENT_PARAMETERS p = Windowed(0, 0, &window);
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, &window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p,
                              &device),
            D3D_OK);
  EXPECT_EQ(p.BackBufferWidth, 320u);
  EXPECT_EQ(p.BackBufferHeight, 200u);
  EXPECT_EQ(p.BackBufferCount, 1u);
  EXPECT_EQ(p.BackBufferFormat, D3DFMT_X8R8G8B8);  // the desktop's
  device->Release();

  struct Bad {
    const char* what;
    D3DPRESENT_PARAMETERS p;
    DWORD flags;
    HRESULT expected;
  };
  D3DPRESENT_PARAMETERS fullNoWindow = Windowed(640, 480);
  fullNoWindow.Windowed = FALSE;
  fullNoWindow.BackBufferFormat = D3DFMT_A8R8G8B8;
  D3DPRESENT_PARAMETERS badFormat = Windowed(64, 64);
  badFormat.BackBufferFormat = D3DFMT_R5G6B5;
  D3DPRESENT_PARAMETERS badDepth = Windowed(64, 64);
  badDepth.EnableAutoDepthStencil = TRUE;
  badDepth.AutoDepthStencilFormat = D3DFMT_A8R8G8B8;
  D3DPRESENT_PARAMETERS noSize = Windowed(0, 0);
  const Bad cases[] = {
      {"full screen without a window", fullNoWindow, D3DCREATE_HARDWARE_VERTEXPROCESSING,
       D3DERR_INVALIDCALL},
      {"back buffer format", badFormat, D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DERR_NOTAVAILABLE},
      {"depth format", badDepth, D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DERR_INVALIDCALL},
      {"no size and no window", noSize, D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DERR_INVALIDCALL},
      {"no vertex processing", Windowed(8, 8), 0, D3DERR_INVALIDCALL},
      {"two vertex processings", Windowed(8, 8),
       D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_SOFTWARE_VERTEXPROCESSING,
       D3DERR_INVALIDCALL},
  };
  for (Bad c : cases) {
    IDirect3DDevice9* none = reinterpret_cast<IDirect3DDevice9*>(1);
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, c.flags, &c.p, &none), c.expected)
        << c.what;
    EXPECT_EQ(none, nullptr) << c.what;
  }
  D3DPRESENT_PARAMETERS ok = Windowed(8, 8);
  EXPECT_EQ(d3d->CreateDevice(1, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &ok,
                              &device),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(d3d->Release(), 0u);
}

TEST(CreateDevice, HardwareVertexProcessingNeedsTheCapAndHalCanBeMissing) {
  SoftwareDeviceOptions options;
  options.hardwareTransformAndLight = false;
  options.halAvailable = false;
  IDirect3D9* d3d = Direct3DCreate9WithOptions(D3D_SDK_VERSION, options);
  D3DCAPS9 caps{};
  EXPECT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3DERR_NOTAVAILABLE);
  ASSERT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3D_OK);
  EXPECT_EQ(caps.DeviceType, D3DDEVTYPE_REF);
  EXPECT_EQ(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0u);
  D3DPRESENT_PARAMETERS p = Windowed(8, 8);
  IDirect3DDevice9* device = nullptr;
  EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p,
                              &device),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_REF, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p,
                              &device),
            D3DERR_INVALIDCALL);
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_REF, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p,
                              &device),
            D3D_OK);
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(d3d->Release(), 0u);
}

TEST(Caps, DefaultDeviceNeedsNeitherPowerOfTwoNorSquareAndReportsBlendOp) {
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  D3DCAPS9 caps{};
  ASSERT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_EQ(caps.TextureCaps & (D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY), 0u);
  EXPECT_GE(caps.MaxTextureWidth, 8192u);
  EXPECT_GE(caps.MaxTextureHeight, 8192u);
  EXPECT_NE(caps.PrimitiveMiscCaps & D3DPMISCCAPS_BLENDOP, 0u);
  EXPECT_NE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0u);
  d3d->Release();
}

TEST(CreateTexture, FollowsTheDeviceCapabilities) {
  struct Case {
    const char* what;
    bool pow2, square;
    UINT maxSize;
    UINT w, h;
    D3DFORMAT format;
    HRESULT expected;
  };
  const Case cases[] = {
      {"any size", false, false, 8192, 100, 60, D3DFMT_A8R8G8B8, D3D_OK},
      {"largest", false, false, 8192, 8192, 8192, D3DFMT_A8R8G8B8, D3D_OK},
      {"above the maximum", false, false, 8192, 8193, 16, D3DFMT_A8R8G8B8, D3DERR_INVALIDCALL},
      {"zero size", false, false, 8192, 0, 0, D3DFMT_A8R8G8B8, D3DERR_INVALIDCALL},
      {"pow2 device, odd size", true, false, 8192, 100, 64, D3DFMT_A8R8G8B8, D3DERR_INVALIDCALL},
      {"pow2 device, pow2 size", true, false, 8192, 128, 64, D3DFMT_A8R8G8B8, D3D_OK},
      {"square device, oblong", false, true, 8192, 128, 64, D3DFMT_A8R8G8B8, D3DERR_INVALIDCALL},
      {"square device, square", false, true, 8192, 100, 100, D3DFMT_A8R8G8B8, D3D_OK},
      {"small maximum", false, false, 256, 512, 16, D3DFMT_A8R8G8B8, D3DERR_INVALIDCALL},
      {"unsupported format", false, false, 8192, 16, 16, D3DFMT_A8, D3DERR_INVALIDCALL},
      {"palette", false, false, 8192, 16, 16, D3DFMT_P8, D3D_OK},
  };
  for (const Case& c : cases) {
    SoftwareDeviceOptions options;
    options.pow2Only = c.pow2;
    options.squareOnly = c.square;
    options.maxTextureWidth = options.maxTextureHeight = c.maxSize;
    TestDevice t(8, 8, options);
    IDirect3DTexture9* tex = reinterpret_cast<IDirect3DTexture9*>(1);
    EXPECT_EQ(t.device->CreateTexture(c.w, c.h, 0, 0, c.format, D3DPOOL_MANAGED, &tex, nullptr),
              c.expected)
        << c.what;
    if (c.expected == D3D_OK) {
      D3DSURFACE_DESC desc{};
      EXPECT_EQ(tex->GetLevelDesc(0, &desc), D3D_OK);
      EXPECT_EQ(desc.Width, c.w);
      EXPECT_EQ(desc.Height, c.h);
      EXPECT_EQ(desc.Format, c.format);
      EXPECT_EQ(tex->Release(), 0u) << c.what;
    } else {
      EXPECT_EQ(tex, nullptr) << c.what;
    }
  }
}

TEST(CreateTexture, TextureMemoryRunsOut) {
  SoftwareDeviceOptions options;
  options.textureMemory = 1024 * 1024;
  TestDevice t(8, 8, options);
  EXPECT_EQ(t.device->GetAvailableTextureMem(), 1024u * 1024u);
  IDirect3DTexture9* a = nullptr;
  IDirect3DTexture9* b = nullptr;
  ASSERT_EQ(t.device->CreateTexture(256, 256, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &a, nullptr),
            D3D_OK);
  EXPECT_EQ(t.device->GetAvailableTextureMem(), 768u * 1024u);
  EXPECT_EQ(t.device->CreateTexture(512, 512, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &b, nullptr),
            D3DERR_OUTOFVIDEOMEMORY);
  a->Release();
  EXPECT_EQ(t.device->GetAvailableTextureMem(), 1024u * 1024u);
}

TEST(CheckDeviceFormat, AnswersForWhatTheDeviceCanMake) {
  SoftwareDeviceOptions options;
  options.textureFormats = {D3DFMT_A4R4G4B4, D3DFMT_R5G6B5};
  IDirect3D9* d3d = Direct3DCreate9WithOptions(D3D_SDK_VERSION, options);
  auto check = [&](DWORD usage, D3DRESOURCETYPE type, D3DFORMAT f) {
    return d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, usage, type, f);
  };
  EXPECT_EQ(check(0, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4), D3D_OK);
  EXPECT_EQ(check(0, D3DRTYPE_TEXTURE, D3DFMT_R5G6B5), D3D_OK);
  EXPECT_EQ(check(0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(check(0, D3DRTYPE_TEXTURE, D3DFMT_DXT1), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(check(D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(check(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24S8), D3D_OK);
  EXPECT_EQ(
      d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_D16),
      D3D_OK);
  EXPECT_EQ(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8,
                                        D3DFMT_A8R8G8B8),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d->CheckDeviceFormat(1, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, 0, D3DRTYPE_TEXTURE,
                                   D3DFMT_R5G6B5),
            D3DERR_INVALIDCALL);

  // The answer matches what CreateTexture does.
  TestDevice t(8, 8, options);
  for (D3DFORMAT f : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5,
                      D3DFMT_X1R5G5B5, D3DFMT_R5G6B5, D3DFMT_P8}) {
    IDirect3DTexture9* tex = nullptr;
    const HRESULT created = t.device->CreateTexture(4, 4, 1, 0, f, D3DPOOL_MANAGED, &tex, nullptr);
    EXPECT_EQ(created == D3D_OK, check(0, D3DRTYPE_TEXTURE, f) == D3D_OK) << f;
    if (tex != nullptr) tex->Release();
  }
  d3d->Release();
}

TEST(LockRect, EveryFormatHasItsPitchAndKeepsWhatWasWritten) {
  struct Case {
    D3DFORMAT format;
    int bytes;
  };
  for (const Case& c : {Case{D3DFMT_A8R8G8B8, 4}, Case{D3DFMT_X8R8G8B8, 4},
                        Case{D3DFMT_A4R4G4B4, 2}, Case{D3DFMT_A1R5G5B5, 2},
                        Case{D3DFMT_X1R5G5B5, 2}, Case{D3DFMT_R5G6B5, 2}, Case{D3DFMT_P8, 1}}) {
    TestDevice t(8, 8);
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(t.device->CreateTexture(3, 5, 1, 0, c.format, D3DPOOL_MANAGED, &tex, nullptr),
              D3D_OK);
    D3DLOCKED_RECT whole{};
    ASSERT_EQ(tex->LockRect(0, &whole, nullptr, 0), D3D_OK);
    EXPECT_EQ(whole.Pitch, (3 * c.bytes + 3) / 4 * 4) << c.format;
    D3DLOCKED_RECT again{};
    EXPECT_EQ(tex->LockRect(0, &again, nullptr, 0), D3DERR_INVALIDCALL);  // no nesting
    auto* base = static_cast<uint8_t*>(whole.pBits);
    for (int i = 0; i < whole.Pitch * 5; ++i) base[i] = static_cast<uint8_t>(i * 37 + 11);
    ASSERT_EQ(tex->UnlockRect(0), D3D_OK);
    EXPECT_EQ(tex->UnlockRect(0), D3DERR_INVALIDCALL);

    // A sub-rectangle lock points at its top-left pixel of the same memory.
    const RECT r{1, 2, 3, 4};
    D3DLOCKED_RECT part{};
    ASSERT_EQ(tex->LockRect(0, &part, &r, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<uint8_t*>(part.pBits), base + 2 * whole.Pitch + c.bytes);
    EXPECT_EQ(static_cast<uint8_t*>(part.pBits)[0],
              static_cast<uint8_t>((2 * whole.Pitch + c.bytes) * 37 + 11));
    tex->UnlockRect(0);

    const RECT outside{0, 0, 4, 5};
    EXPECT_EQ(tex->LockRect(0, &part, &outside, 0), D3DERR_INVALIDCALL);
    const RECT inverted{2, 0, 1, 5};
    EXPECT_EQ(tex->LockRect(0, &part, &inverted, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(tex->LockRect(1, &part, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(tex->Release(), 0u);
  }
}

TEST(LockRect, SixteenBitFormatsSampleAsTheirChannels) {
  struct Case {
    D3DFORMAT format;
    uint16_t value;
    uint32_t sampled;
  };
  for (const Case& c :
       {Case{D3DFMT_A4R4G4B4, 0x8F3C, 0x88FF33CC}, Case{D3DFMT_A1R5G5B5, 0x7FFF, 0x00FFFFFF},
        Case{D3DFMT_A1R5G5B5, 0xFC00, 0xFFFF0000}, Case{D3DFMT_X1R5G5B5, 0x0000, 0xFF000000},
        Case{D3DFMT_R5G6B5, 0x07E0, 0xFF00FF00}, Case{D3DFMT_X8R8G8B8, 0x0000, 0xFF000000}}) {
    TestDevice t(2, 2);
    IDirect3DTexture9* tex = t.Texture(
        1, 1, [&](int, int) { return c.value; }, c.format);
    t.device->SetTexture(0, tex);
    t.device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    t.Draw({0, 0, 2, 2});
    EXPECT_EQ(t.Pixel(0, 0), c.sampled) << c.format;
  }
}

TEST(LockRect, DefaultPoolTexturesAreLockableOnlyWhenDynamic) {
  TestDevice t(8, 8);
  IDirect3DTexture9* plain = nullptr;
  IDirect3DTexture9* dynamic = nullptr;
  ASSERT_EQ(t.device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &plain, nullptr),
            D3D_OK);
  ASSERT_EQ(t.device->CreateTexture(4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                    &dynamic, nullptr),
            D3D_OK);
  D3DLOCKED_RECT lr{};
  EXPECT_EQ(plain->LockRect(0, &lr, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(dynamic->LockRect(0, &lr, nullptr, 0), D3D_OK);
  dynamic->UnlockRect(0);
  plain->Release();
  dynamic->Release();
}

TEST(InvalidCalls, DeviceRejectsWhatDirect3DRejects) {
  TestDevice t(8, 8);
  IDirect3DDevice9* d = t.device;
  const vm_d3d9_test::QuadVertex quad[4] = {};
  // Drawing outside BeginScene/EndScene.
  EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 32), D3DERR_INVALIDCALL);
  ASSERT_EQ(d->BeginScene(), D3D_OK);
  EXPECT_EQ(d->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, quad, 32), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 28), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, nullptr, 32), D3DERR_INVALIDCALL);
  d->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
  EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 32), D3DERR_INVALIDCALL);
  d->SetFVF(vm_d3d9_test::kQuadFVF);
  EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 32), D3D_OK);
  IDirect3DTexture9* palette = nullptr;
  ASSERT_EQ(d->CreateTexture(4, 4, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &palette, nullptr), D3D_OK);
  d->SetTexture(0, palette);
  EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 32), D3DERR_WRONGTEXTUREFORMAT);
  d->SetTexture(0, nullptr);
  palette->Release();
  ASSERT_EQ(d->EndScene(), D3D_OK);
  EXPECT_EQ(d->EndScene(), D3DERR_INVALIDCALL);

  EXPECT_EQ(d->SetRenderState(static_cast<D3DRENDERSTATETYPE>(5000), 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_MODULATE), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->SetSamplerState(16, D3DSAMP_MAGFILTER, D3DTEXF_POINT), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0),
            D3DERR_INVALIDCALL);  // no depth buffer
  const D3DVIEWPORT9 tooWide{4, 0, 8, 8, 0.0f, 1.0f};
  EXPECT_EQ(d->SetViewport(&tooWide), D3DERR_INVALIDCALL);
  IDirect3DSurface9* surface = nullptr;
  EXPECT_EQ(d->GetBackBuffer(0, 1, D3DBACKBUFFER_TYPE_MONO, &surface), D3DERR_INVALIDCALL);
  EXPECT_EQ(d->GetBackBuffer(1, 0, D3DBACKBUFFER_TYPE_MONO, &surface), D3DERR_INVALIDCALL);

  // A texture of another device cannot be bound.
  TestDevice other(8, 8);
  IDirect3DTexture9* foreign = other.Texture(2, 2, [](int, int) { return 0u; });
  EXPECT_EQ(d->SetTexture(0, foreign), D3DERR_INVALIDCALL);
}

TEST(Present, HeadlessDeviceKeepsTheLastFrame) {
  TestDevice t(4, 3);
  std::vector<uint32_t> frame;
  UINT w = 0, h = 0;
  EXPECT_FALSE(t.device->GetLastPresentedFrame(&frame, &w, &h));
  t.Clear(0xFF102030);
  t.Draw({1, 1, 2, 2, 0, 0, 1, 1, 0xFFFFFFFF});
  EXPECT_EQ(t.device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  t.Clear(0xFF000000);  // later drawing does not touch the presented frame
  ASSERT_TRUE(t.device->GetLastPresentedFrame(&frame, &w, &h));
  EXPECT_EQ(w, 4u);
  EXPECT_EQ(h, 3u);
  ASSERT_EQ(frame.size(), 12u);
  EXPECT_EQ(frame[0], 0xFF102030u);
  EXPECT_EQ(frame[1 * 4 + 1], 0xFFFFFFFFu);
}

TEST(Present, WindowReceivesFramesAndItsLossLosesTheDevice) {
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  auto window = std::make_unique<FrameTarget>(640, 480);
  D3DPRESENT_PARAMETERS p{};
  p.BackBufferWidth = 640;
  p.BackBufferHeight = 480;
  p.BackBufferFormat = D3DFMT_A8R8G8B8;
  p.SwapEffect = D3DSWAPEFFECT_DISCARD;
  p.Windowed = FALSE;  // full screen: the desktop keeps its mode
  p.hDeviceWindow = window.get();
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window.get(), D3DCREATE_HARDWARE_VERTEXPROCESSING,
                              &p, &device),
            D3D_OK);
  EXPECT_EQ(window->GetMode(), PresentTarget::Mode::FullScreen);
  D3DDISPLAYMODE mode{};
  d3d->GetAdapterDisplayMode(0, &mode);
  EXPECT_EQ(mode.Width, 640u);  // what the adapter reports while full screen
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(window->FramesShown(), 1);
  EXPECT_EQ(window->FrameWidth(), 640);
  EXPECT_EQ(window->Frame()[1234], 0xFF00FF00u);

  window.reset();
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  EXPECT_EQ(device->Release(), 0u);
  d3d->GetAdapterDisplayMode(0, &mode);
  EXPECT_EQ(mode.Width, 1920u);  // the desktop again
  EXPECT_EQ(d3d->Release(), 0u);
}

TEST(Recorder, RecordsCallsOnlyWhileOn) {
  TestDevice t(8, 8);
  CallRecorder& recorder = t.device->Recorder();
  t.device->SetRenderState(D3DRS_LIGHTING, FALSE);
  EXPECT_TRUE(recorder.Calls().empty());
  recorder.Start();
  t.device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  t.device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  t.device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  t.Draw({0, 0, 8, 8});
  recorder.Stop();
  t.device->SetRenderState(D3DRS_ZENABLE, FALSE);
  EXPECT_EQ(recorder.Count("SetRenderState"), 1u);
  EXPECT_EQ(recorder.Count("DrawPrimitiveUP"), 1u);
  const std::vector<std::string> lines = recorder.Lines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "SetRenderState(D3DRS_ALPHABLENDENABLE, 1)");
  EXPECT_EQ(lines[1], "SetTextureStageState(0, D3DTSS_COLOROP, 4)");
  EXPECT_EQ(lines[2], "SetSamplerState(0, D3DSAMP_MAGFILTER, 2)");
  EXPECT_EQ(recorder.Lines("BeginScene"), std::vector<std::string>{"BeginScene()"});
  recorder.Clear();
  EXPECT_TRUE(recorder.Calls().empty());
}

}  // namespace
