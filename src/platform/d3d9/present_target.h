// The seam between the software device and whatever shows its frames. A device made for
// a window hands each presented back buffer to that window's PresentTarget; the window
// framework implements it (the device never sees a toolkit type).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class PresentTargetWatcher {
 public:
  // The target is being destroyed; it must not be used after this returns.
  virtual void OnPresentTargetGone() = 0;

 protected:
  ~PresentTargetWatcher() = default;
};

// The parts of a presented frame that differ from the frame the same presenter showed
// the same target before: rows [top, bottom) of columns [left, right).
struct ChangedRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct FrameChanges {
  // Who presents; a target that last showed another presenter's frame (or none) must take
  // the whole frame whatever the rectangles say.
  const void* presenter = nullptr;
  // Every pixel may have changed: the rectangles mean nothing.
  bool whole = true;
  // Rectangles that share no pixel; pixels outside them are unchanged.
  static constexpr int kMaxRects = 16;
  int count = 0;
  ChangedRect rects[kMaxRects];
  // The presenter's own copy of this frame (width x height pixels, tightly packed, alpha
  // undefined), or null. The presenter leaves it as it is until its next frame for the
  // same target, so a target may show from it instead of copying the pixels. `pixels`
  // may be the same memory.
  std::shared_ptr<const uint32_t> kept;
};

class PresentTarget {
 public:
  PresentTarget() = default;
  PresentTarget(const PresentTarget&) = delete;
  PresentTarget& operator=(const PresentTarget&) = delete;
  // Tells every watcher that the target is gone. A derived class whose Show or client
  // size stop being usable earlier calls NotifyGone() from its own destructor.
  virtual ~PresentTarget();

  // One presented frame: height rows of width 32-bit pixels (A8R8G8B8 or X8R8G8B8 in
  // memory order B, G, R, A), rows pitch bytes apart. The pixels are valid only during
  // the call.
  virtual void Show(const uint32_t* pixels, int width, int height, int pitch) = 0;
  // The same frame with what changed since the presenter's previous one. A target that
  // keeps no copy shows it whole.
  virtual void ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                           const FrameChanges& changes) {
    (void)changes;
    Show(pixels, width, height, pitch);
  }
  // Size of the drawable area; a windowed device of size 0 x 0 takes it.
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  // Makes the drawable area width x height (the window grows or shrinks around it).
  virtual void ResizeClient(int width, int height) = 0;

  // How the device created for this target wants its frames shown. Full screen never
  // changes the display mode: the target fills the screen and scales each frame into it
  // with its aspect ratio kept.
  enum class Mode { Windowed, FullScreen };
  virtual void SetMode(Mode mode) { (void)mode; }

  void AddWatcher(PresentTargetWatcher* watcher);
  void RemoveWatcher(PresentTargetWatcher* watcher);

 protected:
  void NotifyGone();

 private:
  std::vector<PresentTargetWatcher*> watchers_;
};

// A window as a Direct3D device sees it: whatever receives its presented frames.
typedef PresentTarget* HWND;

// A target without a screen: keeps the last frame it was shown. Tools and tests use it
// as the window of a device.
class FrameTarget : public PresentTarget {
 public:
  FrameTarget(int clientWidth, int clientHeight);
  ~FrameTarget() override;

  void Show(const uint32_t* pixels, int width, int height, int pitch) override;
  int ClientWidth() const override { return clientWidth_; }
  int ClientHeight() const override { return clientHeight_; }
  void ResizeClient(int width, int height) override;
  void SetMode(Mode mode) override { mode_ = mode; }
  Mode GetMode() const { return mode_; }

  // The last frame shown, tightly packed (pitch = width x 4); empty before the first.
  const std::vector<uint32_t>& Frame() const { return frame_; }
  int FrameWidth() const { return frameWidth_; }
  int FrameHeight() const { return frameHeight_; }
  int FramesShown() const { return framesShown_; }

 private:
  int clientWidth_;
  int clientHeight_;
  Mode mode_ = Mode::Windowed;
  std::vector<uint32_t> frame_;
  int frameWidth_ = 0;
  int frameHeight_ = 0;
  int framesShown_ = 0;
};
