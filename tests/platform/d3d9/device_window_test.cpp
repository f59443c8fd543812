// The Qt window a device presents into (offscreen platform).
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

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
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window->Handle(), D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device),
            D3D_OK);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FF0000, 1.0f, 0);
  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  ASSERT_EQ(window->Frame().size(), QSize(640, 480));

  const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shot.size(), QSize(400, 400));
  EXPECT_EQ(shot.pixel(200, 10), qRgb(0, 0, 0));     // bar above
  EXPECT_EQ(shot.pixel(200, 49), qRgb(0, 0, 0));
  EXPECT_EQ(shot.pixel(200, 60), qRgb(255, 0, 0));   // the frame
  EXPECT_EQ(shot.pixel(5, 200), qRgb(255, 0, 0));
  EXPECT_EQ(shot.pixel(200, 340), qRgb(255, 0, 0));
  EXPECT_EQ(shot.pixel(200, 390), qRgb(0, 0, 0));    // bar below

  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  window.reset();
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_EQ(device->Release(), 0u);
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
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window.Handle(), D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device),
            D3D_OK);
  EXPECT_EQ(p.BackBufferWidth, 320u);
  EXPECT_EQ(p.BackBufferHeight, 240u);
  device->Release();
  d3d->Release();
}

}  // namespace
