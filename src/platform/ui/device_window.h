// The window a software Direct3D device presents into: shows the latest frame scaled to
// the widget with its aspect ratio kept, the rest black. On X it writes the changed
// pixels straight to the window (see XFramePainter) rather than through a backing image
// of the window's size, which on a large screen would cost more memory and processor
// time than the whole saver.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <memory>

#include "platform/d3d9/present_target.h"

namespace platform {
class XFramePainter;
}

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
  QImage Frame() const;
  // Where a frame of frameSize lands in an area of areaSize: as large as fits, centred.
  static QRect FrameRect(QSize areaSize, QSize frameSize);

  QPaintEngine* paintEngine() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Called after each presented frame has been taken (and, with immediate painting,
  // painted).
  virtual void FrameShown() {}

 private:
  // Copies rows [top, bottom) of columns [left, right) into frame_.
  void CopyPixels(const uint32_t* pixels, int pitch, const ChangedRect& area);
  // The frame shown, as the X painter reads it: a view of kept_ or frame_ itself.
  QImage Shown() const;
  QImage View(const uchar* bits, QSize size, qsizetype bytesPerLine) const;
  // Where those frame pixels land on the widget.
  QRect WidgetArea(const ChangedRect& area) const;
  // `shown` is what Shown() gives when the caller has it already, else null.
  void Repaint(const QRegion& region, const QImage& shown);
  // Paints the region of `frame` (as Shown() gives it) straight to the X window; false
  // when the window cannot take it.
  bool PaintOnX(const QRegion& region, const QImage& frame);

  // The frame shown: the presenter's kept copy when it offers one and the window paints
  // on X, else the window's own opaque copy.
  std::shared_ptr<const uint32_t> kept_;
  mutable QImage view_;  // the last view Shown() made
  QImage frame_;
  QSize frameSize_;
  // Whose frame frame_ holds: changes are only meaningful against that presenter's frame.
  const void* presenter_ = nullptr;
  bool immediatePaint_ = false;
  bool onX_ = false;  // painting on the X window itself, not through Qt's backing store
  std::unique_ptr<platform::XFramePainter> xPainter_;
};
