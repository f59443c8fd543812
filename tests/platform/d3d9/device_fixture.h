// A headless software device with a lockable back buffer, and helpers to fill textures,
// draw screen-space quads and read pixels back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/d3d9/d3d9.h"

namespace vm_d3d9_test {

struct QuadVertex {
  float x, y, z, rhw;
  uint32_t diffuse, specular;
  float u, v;
};

constexpr DWORD kQuadFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

struct Quad {
  float x0, y0, x1, y1;
  float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
  uint32_t color = 0xFFFFFFFF;
};

class TestDevice {
 public:
  explicit TestDevice(int width = 64, int height = 48, const SoftwareDeviceOptions& options = {},
                      D3DFORMAT backBufferFormat = D3DFMT_A8R8G8B8, BOOL depth = FALSE) {
    d3d = Direct3DCreate9WithOptions(D3D_SDK_VERSION, options);
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = static_cast<UINT>(width);
    p.BackBufferHeight = static_cast<UINT>(height);
    p.BackBufferFormat = backBufferFormat;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    p.EnableAutoDepthStencil = depth;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    HRESULT hr = d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                   &p, &device);
    EXPECT_EQ(hr, D3D_OK);
    this->width = width;
    this->height = height;
    device->SetFVF(kQuadFVF);
  }
  ~TestDevice() {
    for (IDirect3DTexture9* t : textures) t->Release();
    device->SetTexture(0, nullptr);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
  }
  TestDevice(const TestDevice&) = delete;
  TestDevice& operator=(const TestDevice&) = delete;

  // A managed A8R8G8B8 (or other format) texture whose pixel (x, y) is fill(x, y), stored
  // through the format's 32- or 16-bit value.
  IDirect3DTexture9* Texture(UINT w, UINT h, const std::function<uint32_t(int, int)>& fill,
                             D3DFORMAT format = D3DFMT_A8R8G8B8) {
    IDirect3DTexture9* t = nullptr;
    EXPECT_EQ(device->CreateTexture(w, h, 1, 0, format, D3DPOOL_MANAGED, &t, nullptr), D3D_OK);
    D3DLOCKED_RECT lr{};
    EXPECT_EQ(t->LockRect(0, &lr, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < h; ++y) {
      auto* row = static_cast<uint8_t*>(lr.pBits) + static_cast<ptrdiff_t>(y) * lr.Pitch;
      for (UINT x = 0; x < w; ++x) {
        const uint32_t v = fill(static_cast<int>(x), static_cast<int>(y));
        if (format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8) {
          reinterpret_cast<uint32_t*>(row)[x] = v;
        } else {
          reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(v);
        }
      }
    }
    EXPECT_EQ(t->UnlockRect(0), D3D_OK);
    textures.push_back(t);
    return t;
  }

  void Clear(uint32_t color) {
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0), D3D_OK);
  }

  void Draw(const Quad& q, float z = 0.5f) {
    const QuadVertex v[4] = {{q.x0, q.y0, z, 0.5f, q.color, 0, q.u0, q.v0},
                             {q.x1, q.y0, z, 0.5f, q.color, 0, q.u1, q.v0},
                             {q.x0, q.y1, z, 0.5f, q.color, 0, q.u0, q.v1},
                             {q.x1, q.y1, z, 0.5f, q.color, 0, q.u1, q.v1}};
    DrawStrip(v, 4);
  }

  void DrawStrip(const QuadVertex* v, UINT count) {
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, count - 2, v, sizeof(QuadVertex)),
              D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
  }

  // Sets the render states of a blend: enabled with the factors and op, or off.
  void Blend(bool on, DWORD src = D3DBLEND_SRCALPHA, DWORD dst = D3DBLEND_INVSRCALPHA,
             DWORD op = D3DBLENDOP_ADD) {
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, on ? TRUE : FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, src);
    device->SetRenderState(D3DRS_DESTBLEND, dst);
    device->SetRenderState(D3DRS_BLENDOP, op);
  }

  // The stage states the scene uses: texture x diffuse for colour and alpha.
  void Modulate() {
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  }

  void Filter(DWORD filter) {
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
  }

  std::vector<uint32_t> Pixels() {
    IDirect3DSurface9* bb = nullptr;
    EXPECT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &bb), D3D_OK);
    D3DLOCKED_RECT lr{};
    EXPECT_EQ(bb->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    std::vector<uint32_t> out(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(lr.pBits) +
                                                          static_cast<ptrdiff_t>(y) * lr.Pitch);
      std::copy(row, row + width, out.begin() + static_cast<ptrdiff_t>(y) * width);
    }
    bb->UnlockRect();
    bb->Release();
    return out;
  }

  uint32_t Pixel(int x, int y) { return Pixels()[static_cast<size_t>(y * width + x)]; }

  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  int width = 0;
  int height = 0;
  std::vector<IDirect3DTexture9*> textures;
};

}  // namespace vm_d3d9_test
