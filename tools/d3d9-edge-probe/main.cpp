// d3d9-edge-probe: draws pre-transformed, point-sampled textured quads on the system's
// Direct3D 9 device, as the saver draws its pictures and texts, reads the render target back
// (GetRenderTargetData + LockRect) and prints, for each quad, which pixels it covered and
// which texel each covered pixel shows.
//
// By Direct3D 9's rules a quad with corners at whole coordinates (X, Y) .. (X + W, Y + H)
// covers rows Y .. Y + H - 1 and columns X .. X + W - 1 (pixel centres at whole coordinates,
// the top-left fill rule), and with u, v running over the image's share of the texture it
// shows texel (i, j) at pixel (X + i, Y + j): every sample falls exactly on a texel's edge.
// The probe prints how far the texel shown lies from that one, in columns and rows ("0 0"
// everywhere for a device that follows the rules), and the same for the quad moved half a
// pixel up and left, where every sample falls in a texel's middle.
#include <d3d9.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <utility>

namespace {

constexpr int kTargetWidth = 640;
constexpr int kTargetHeight = 480;

struct Vertex {
  float x, y, z, rhw;
  float u, v;
};

// Texel (c, r) of a texture of up to 32 x 32: red and green tell c and r apart, blue marks
// drawn pixels.
DWORD TexelColour(int column, int row) {
  return 0xFF0000FFu | static_cast<DWORD>(column * 7 + 3) << 16 |
         static_cast<DWORD>(row * 7 + 3) << 8;
}

struct Shifts {
  int covered = 0;                            // pixels drawn in the quad's own rectangle
  int outside = 0;                            // pixels drawn outside it
  std::map<std::pair<int, int>, int> counts;  // (columns, rows) from the expected texel
};

Shifts Measure(const D3DLOCKED_RECT& locked, int left, int top, int width, int height) {
  Shifts shifts;
  for (int y = top - 2; y < top + height + 2; ++y) {
    const auto* row =
        reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch);
    for (int x = left - 2; x < left + width + 2; ++x) {
      const DWORD pixel = row[x];
      if ((pixel & 0xFF) == 0) continue;
      if (x < left || x >= left + width || y < top || y >= top + height) {
        ++shifts.outside;
        continue;
      }
      ++shifts.covered;
      const int column = static_cast<int>((pixel >> 16) & 0xFF) / 7;
      const int texelRow = static_cast<int>((pixel >> 8) & 0xFF) / 7;
      ++shifts.counts[{column - (x - left), texelRow - (y - top)}];
    }
  }
  return shifts;
}

}  // namespace

int main() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "EdgeProbe";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA("EdgeProbe", "probe", WS_POPUP, 0, 0, kTargetWidth, kTargetHeight,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
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

  // A 32 x 32 texture: images of 8 x 8 (a power of two) and of 21 x 22 (the size of a board
  // character's texture) are drawn from its top-left corner.
  constexpr int kTexture = 32;
  IDirect3DTexture9* texture = nullptr;
  device->CreateTexture(kTexture, kTexture, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                        nullptr);
  D3DLOCKED_RECT texels{};
  texture->LockRect(0, &texels, nullptr, 0);
  for (int row = 0; row < kTexture; ++row) {
    auto* out = reinterpret_cast<DWORD*>(static_cast<BYTE*>(texels.pBits) + row * texels.Pitch);
    for (int column = 0; column < kTexture; ++column) out[column] = TexelColour(column, row);
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

  const int kLefts[] = {10, 20, 73, 100, 250, 583};
  const int kTops[] = {10, 20, 50, 129, 300, 455};
  const int kSizes[][2] = {{8, 8}, {21, 22}};
  std::printf(
      "left top size offset: pixels covered (outside the rectangle) | texel shift "
      "columns,rows: pixels\n");
  for (const auto& size : kSizes) {
    for (const float offset : {0.0f, -0.5f}) {
      for (const int left : kLefts) {
        for (const int top : kTops) {
          const float x0 = left + offset, y0 = top + offset;
          const float x1 = x0 + size[0], y1 = y0 + size[1];
          const float u = static_cast<float>(size[0]) / kTexture;
          const float v = static_cast<float>(size[1]) / kTexture;
          const Vertex quad[4] = {{x0, y0, 0, 1, 0, 0},
                                  {x1, y0, 0, 1, u, 0},
                                  {x0, y1, 0, 1, 0, v},
                                  {x1, y1, 0, 1, u, v}};
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
          const Shifts shifts = Measure(locked, left, top, size[0], size[1]);
          copy->UnlockRect();
          std::printf("%3d %3d %2dx%-2d %4.1f: %3d (%d) |", left, top, size[0], size[1], offset,
                      shifts.covered, shifts.outside);
          for (const auto& [shift, count] : shifts.counts) {
            std::printf(" %d,%d: %d", shift.first, shift.second, count);
          }
          std::printf("\n");
        }
      }
    }
  }
  copy->Release();
  target->Release();
  texture->Release();
  device->Release();
  d3d->Release();
  DestroyWindow(window);
  return 0;
}
