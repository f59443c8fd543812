// The window a software Direct3D device presents into: shows the latest frame scaled to
// the widget with its aspect ratio kept, the rest black.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include "platform/d3d9/present_target.h"

class DeviceWindow : public QWidget, public PresentTarget {
 public:
  explicit DeviceWindow(QWidget* parent = nullptr);
  ~DeviceWindow() override;

  // The window as a device sees it (the HWND of CreateDevice and the presentation
  // parameters).
  HWND Handle() { return this; }

  void Show(const uint32_t* pixels, int width, int height, int pitch) final;
  void ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                   const FrameChanges& changes) final;
  int ClientWidth() const override { return width(); }
  int ClientHeight() const override { return height(); }
  void ResizeClient(int width, int height) override;
  void SetMode(Mode mode) override;

  // Paint each frame before Show returns, instead of when the event loop next runs: for a
  // caller that blocks the loop between frames.
  enum class PaintTiming { kDeferred, kImmediate };
  void SetPaintTiming(PaintTiming timing) { immediatePaint_ = timing == PaintTiming::kImmediate; }

  // The last frame shown (opaque RGB), null before the first.
  const QImage& Frame() const { return frame_; }
  // Where a frame of frameSize lands in an area of areaSize: as large as fits, centred.
  static QRect FrameRect(QSize areaSize, QSize frameSize);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Called after each presented frame has been taken (and, with immediate painting,
  // painted).
  virtual void FrameShown() {}

 private:
  // Copies rows [top, bottom) of columns [left, right) into frame_ and returns where they
  // land on the widget.
  QRect TakePixels(const uint32_t* pixels, int pitch, const ChangedRect& area);
  void Repaint(const QRegion& region);

  QImage frame_;
  // Whose frame frame_ holds: changes are only meaningful against that presenter's frame.
  const void* presenter_ = nullptr;
  bool immediatePaint_ = false;
};
