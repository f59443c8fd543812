// The Qt window a device presents into (offscreen platform).
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <random>

#include "platform/d3d9/d3d9.h"
#include "platform/ui/device_window.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "device_window_test";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

TEST(DeviceWindow, FrameRectKeepsTheAspectRatioCentred) {
  EXPECT_EQ(DeviceWindow::FrameRect({400, 400}, {640, 480}), QRect(0, 50, 400, 300));
  EXPECT_EQ(DeviceWindow::FrameRect({1920, 1080}, {640, 480}), QRect(240, 0, 1440, 1080));
  EXPECT_EQ(DeviceWindow::FrameRect({640, 480}, {640, 480}), QRect(0, 0, 640, 480));
  EXPECT_EQ(DeviceWindow::FrameRect({640, 480}, {0, 0}), QRect());
}

TEST(DeviceWindow, PresentedFrameIsLetterboxedAndLosingTheWindowLosesTheDevice) {
  App();
  auto window = std::make_unique<DeviceWindow>();
  window->resize(400, 400);
  window->show();
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  D3DPRESENT_PARAMETERS p{};
  p.BackBufferWidth = 640;
  p.BackBufferHeight = 480;
  p.BackBufferFormat = D3DFMT_X8R8G8B8;
  p.SwapEffect = D3DSWAPEFFECT_DISCARD;
  p.Windowed = TRUE;
  p.hDeviceWindow = window->Handle();
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window->Handle(),
                              D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device),
            D3D_OK);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FF0000, 1.0f, 0);
  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  ASSERT_EQ(window->Frame().size(), QSize(640, 480));

  const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shot.size(), QSize(400, 400));
  EXPECT_EQ(shot.pixel(200, 10), qRgb(0, 0, 0));  // bar above
  EXPECT_EQ(shot.pixel(200, 49), qRgb(0, 0, 0));
  EXPECT_EQ(shot.pixel(200, 60), qRgb(255, 0, 0));  // the frame
  EXPECT_EQ(shot.pixel(5, 200), qRgb(255, 0, 0));
  EXPECT_EQ(shot.pixel(200, 340), qRgb(255, 0, 0));
  EXPECT_EQ(shot.pixel(200, 390), qRgb(0, 0, 0));  // bar below

  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  window.reset();
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(d3d->Release(), 0u);
}

// The window's frame follows every presented frame though only changed rows reach it,
// also when two devices take turns on it.
TEST(DeviceWindow, FrameFollowsPartialPresentsFromTwoDevices) {
  App();
  DeviceWindow window;
  window.resize(320, 240);
  window.show();
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  auto makeDevice = [&](D3DFORMAT format) {
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = 64;
    p.BackBufferHeight = 48;
    p.BackBufferFormat = format;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    p.hDeviceWindow = window.Handle();
    IDirect3DDevice9* device = nullptr;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window.Handle(),
                                D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device),
              D3D_OK);
    return device;
  };
  IDirect3DDevice9* devices[2] = {makeDevice(D3DFMT_A8R8G8B8), makeDevice(D3DFMT_X8R8G8B8)};
  auto expected = [](IDirect3DDevice9* device) {
    IDirect3DSurface9* bb = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &bb);
    D3DLOCKED_RECT lr{};
    bb->LockRect(&lr, nullptr, D3DLOCK_READONLY);
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        image.setPixel(x, y,
                       static_cast<const uint32_t*>(lr.pBits)[y * lr.Pitch / 4 + x] | 0xFF000000u);
    bb->UnlockRect();
    bb->Release();
    return image;
  };
  std::mt19937 rng(3);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int step = 0; step < 60; ++step) {
    IDirect3DDevice9* device = devices[pick(0, 3) == 0 ? 1 : 0];
    for (int e = pick(0, 3); e > 0; --e) {
      const int x = pick(0, 60), y = pick(0, 44);
      const D3DRECT r{x, y, x + pick(1, 8), y + pick(1, 4)};
      device->Clear(1, &r, D3DCLEAR_TARGET, static_cast<D3DCOLOR>(rng()), 1.0f, 0);
    }
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ASSERT_EQ(window.Frame(), expected(device)) << "step " << step;
  }
  // What the widget shows is the frame, scaled.
  const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage frame = window.Frame();
  EXPECT_EQ(shot.pixel(2, 2), frame.pixel(0, 0));
  EXPECT_EQ(shot.pixel(317, 237), frame.pixel(63, 47));
  for (IDirect3DDevice9* device : devices) EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(d3d->Release(), 0u);
}

TEST(DeviceWindow, WindowedDeviceTakesTheClientSize) {
  App();
  DeviceWindow window;
  window.ResizeClient(320, 240);
  EXPECT_EQ(window.ClientWidth(), 320);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  D3DPRESENT_PARAMETERS p{};
  p.SwapEffect = D3DSWAPEFFECT_DISCARD;
  p.Windowed = TRUE;
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window.Handle(),
                              D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device),
            D3D_OK);
  EXPECT_EQ(p.BackBufferWidth, 320u);
  EXPECT_EQ(p.BackBufferHeight, 240u);
  device->Release();
  d3d->Release();
}

}  // namespace
