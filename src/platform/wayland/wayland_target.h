// The saver's frames on every output of a Wayland session, as a device's present target,
// and the input that reaches the saver's surfaces. Each output gets a full-screen
// surface with the frame letterboxed (OutputSurface); the frame travels in shared memory
// at its own size and the compositor scales it, so only the changed pixels are copied and
// damaged, whatever the outputs' sizes. Nothing here draws with OpenGL or EGL.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d9/present_target.h"
#include "platform/wayland/frame_ring.h"
#include "platform/wayland/seat_input.h"

struct wl_output;

namespace platform {

class Connection;
class OutputSurface;
class ShmBuffer;

class WaylandTarget final : public PresentTarget, private SeatInput::Sink {
 public:
  // What the saver hears from its surfaces.
  class Input {
   public:
    virtual void KeyDown() = 0;
    // The pointer entered an output or moved on it, at (x, y) of the frame shown there.
    virtual void MouseMove(int x, int y) = 0;
    // The compositor asks the saver to close.
    virtual void CloseRequested() = 0;

   protected:
    ~Input() = default;
  };

  // Connects to the session's compositor and puts a surface on every output, ready once
  // the compositor has given each its size. Null, with `error` set, when there is no
  // compositor, it lacks what the saver needs, or it has no output.
  static std::unique_ptr<WaylandTarget> Open(const std::string& appId, const std::string& title,
                                             Input& input, std::string& error);
  ~WaylandTarget() override;

  void Show(const uint32_t* pixels, int width, int height, int pitch) override;
  void ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                   const FrameChanges& changes) override;
  // The first output's size; the outputs are the compositor's to size.
  int ClientWidth() const override;
  int ClientHeight() const override;
  void ResizeClient(int width, int height) override;

  // Handles what the compositor has sent (input, buffers given back, new sizes, outputs
  // that come and go) without waiting; false once the connection is lost.
  bool HandleEvents();

  int OutputCount() const { return static_cast<int>(surfaces_.size()); }
  // Frames handed to the compositor so far.
  int FramesShown() const { return framesShown_; }

 private:
  explicit WaylandTarget(Input& input);
  void AddOutput(wl_output* output);
  // Hands the newest frame to every surface that has a size, in a buffer the compositor
  // does not hold; with none free, again when one comes back.
  void Present();
  const std::uint32_t* Frame() const;
  void KeyPressed() override;
  void PointerAt(wl_surface* surface, double x, double y) override;

  Input& input_;
  std::string appId_;
  std::string title_;
  std::unique_ptr<Connection> connection_;
  std::unique_ptr<ShmBuffer> black_;
  std::unique_ptr<SeatInput> seat_;
  std::vector<std::unique_ptr<OutputSurface>> surfaces_;
  bool lost_ = false;

  // The newest frame: the presenter's kept copy when it offers one, else our own.
  std::shared_ptr<const std::uint32_t> kept_;
  std::vector<std::uint32_t> own_;
  const void* presenter_ = nullptr;
  int frameWidth_ = 640;
  int frameHeight_ = 480;
  bool haveFrame_ = false;
  bool waiting_ = false;  // the newest frame is still to be handed over
  bool bufferFailed_ = false;
  FrameRing ring_;
  std::vector<std::unique_ptr<ShmBuffer>> buffers_;  // ring_'s copies, by index
  int framesShown_ = 0;
};

}  // namespace platform
