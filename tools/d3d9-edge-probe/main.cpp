// d3d9-edge-probe: draws pre-transformed, point-sampled textured quads on the system's
// Direct3D 9 device, reads the render target back (GetRenderTargetData + LockRect) and prints,
// for each pixel around the quad, the texel it shows: "cr" for texel column c, row r, "." for
// the black background. Each texel of the 8 x 8 texture has its own colour.
//
// By Direct3D 9's rules a quad with corners at whole coordinates (X, Y) .. (X + 8, Y + 8)
// covers rows Y .. Y + 7 and columns X .. X + 7 (pixel centres at whole coordinates, the
// top-left fill rule) and shows texel (i, j) at pixel (X + i, Y + j).
#include <d3d9.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kTexels = 8;
constexpr int kTargetWidth = 640;
constexpr int kTargetHeight = 480;

struct Vertex {
  float x, y, z, rhw;
  float u, v;
};

DWORD TexelColour(int column, int row) {
  return 0xFF000000u | static_cast<DWORD>((column + 1) * 16) << 16 |
         static_cast<DWORD>((row + 1) * 16) << 8;
}

void Print(const D3DLOCKED_RECT& locked, int left, int top) {
  std::printf("     ");
  for (int x = left - 2; x <= left + kTexels + 1; ++x) std::printf("%3d", x);
  std::printf("\n");
  for (int y = top - 2; y <= top + kTexels + 1; ++y) {
    std::printf("%3d: ", y);
    const auto* row =
        reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch);
    for (int x = left - 2; x <= left + kTexels + 1; ++x) {
      const DWORD pixel = row[x] & 0xFFFFFF;
      if (pixel == 0) {
        std::printf("  .");
      } else {
        std::printf(" %d%d", static_cast<int>(pixel >> 16) / 16 - 1,
                    static_cast<int>((pixel >> 8) & 0xFF) / 16 - 1);
      }
    }
    std::printf("\n");
  }
}

}  // namespace

int main() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "EdgeProbe";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA("EdgeProbe", "probe", WS_OVERLAPPEDWINDOW, 0, 0, kTargetWidth,
                              kTargetHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (window == nullptr || d3d == nullptr) {
    std::fprintf(stderr, "no window or no Direct3D\n");
    return 1;
  }
  D3DPRESENT_PARAMETERS present{};
  present.BackBufferWidth = kTargetWidth;
  present.BackBufferHeight = kTargetHeight;
  present.BackBufferFormat = D3DFMT_X8R8G8B8;
  present.BackBufferCount = 1;
  present.SwapEffect = D3DSWAPEFFECT_DISCARD;
  present.hDeviceWindow = window;
  present.Windowed = TRUE;
  IDirect3DDevice9* device = nullptr;
  HRESULT result = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                     D3DCREATE_SOFTWARE_VERTEXPROCESSING, &present, &device);
  if (FAILED(result)) {
    std::fprintf(stderr, "CreateDevice: 0x%08lx\n", static_cast<unsigned long>(result));
    return 1;
  }

  IDirect3DTexture9* texture = nullptr;
  device->CreateTexture(kTexels, kTexels, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                        nullptr);
  D3DLOCKED_RECT texels{};
  texture->LockRect(0, &texels, nullptr, 0);
  for (int row = 0; row < kTexels; ++row) {
    auto* out = reinterpret_cast<DWORD*>(static_cast<BYTE*>(texels.pBits) + row * texels.Pitch);
    for (int column = 0; column < kTexels; ++column) out[column] = TexelColour(column, row);
  }
  texture->UnlockRect(0);

  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->SetRenderState(D3DRS_ZENABLE, FALSE);
  device->SetTexture(0, texture);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);

  IDirect3DSurface9* target = nullptr;
  device->GetRenderTarget(0, &target);
  IDirect3DSurface9* copy = nullptr;
  device->CreateOffscreenPlainSurface(kTargetWidth, kTargetHeight, D3DFMT_X8R8G8B8,
                                      D3DPOOL_SYSTEMMEM, &copy, nullptr);

  // Whole corners where the saver puts its quads (a board square, the bottom panel), and the
  // same corners moved half a pixel up and left, as Direct3D's texel-to-pixel mapping suggests.
  const struct {
    int left;
    int top;
    float offset;
  } kCases[] = {{10, 10, 0.0f}, {10, 10, -0.5f}, {583, 465, 0.0f}, {583, 465, -0.5f}};
  for (const auto& c : kCases) {
    const float x0 = c.left + c.offset, y0 = c.top + c.offset;
    const float x1 = x0 + kTexels, y1 = y0 + kTexels;
    const Vertex quad[4] = {
        {x0, y0, 0, 1, 0, 0}, {x1, y0, 0, 1, 1, 0}, {x0, y1, 0, 1, 0, 1}, {x1, y1, 0, 1, 1, 1}};
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
    device->EndScene();
    result = device->GetRenderTargetData(target, copy);
    D3DLOCKED_RECT locked{};
    if (FAILED(result) || FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
      std::fprintf(stderr, "read-back failed: 0x%08lx\n", static_cast<unsigned long>(result));
      return 1;
    }
    std::printf("corners (%g, %g) .. (%g, %g)\n", x0, y0, x1, y1);
    Print(locked, c.left, c.top);
    copy->UnlockRect();
  }
  copy->Release();
  target->Release();
  texture->Release();
  device->Release();
  d3d->Release();
  DestroyWindow(window);
  return 0;
}
