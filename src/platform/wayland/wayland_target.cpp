#include "platform/wayland/wayland_target.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/log/log.h"
#include "platform/wayland/connection.h"
#include "platform/wayland/letterbox.h"
#include "platform/wayland/output_surface.h"
#include "platform/wayland/shm_buffer.h"

namespace platform {
namespace {

// The compositor usually gives a buffer back once the next has come, so two take turns;
// a busy compositor may hold one more for a while. Beyond that a frame waits for one.
constexpr int kMaxBuffers = 4;
// How long the compositor may take to give the new surfaces their sizes.
constexpr int kConfigureTimeoutMs = 5000;

}  // namespace

WaylandTarget::WaylandTarget(Input& input) : input_(input) {}

std::unique_ptr<WaylandTarget> WaylandTarget::Open(const std::string& appId,
                                                   const std::string& title, Input& input,
                                                   std::string& error) {
  std::unique_ptr<WaylandTarget> target(new WaylandTarget(input));
  target->appId_ = appId;
  target->title_ = title;
  target->connection_ = Connection::Open(error);
  if (!target->connection_) return nullptr;
  Connection& connection = *target->connection_;
  target->black_ = ShmBuffer::Create(connection.Shm(), 1, 1, nullptr, error);
  if (!target->black_) return nullptr;
  target->black_->Pixels()[0] = 0;
  target->seat_ =
      std::make_unique<SeatInput>(connection.Seat(), static_cast<SeatInput::Sink&>(*target));
  if (connection.Outputs().empty()) {
    error = "the Wayland compositor has no output";
    return nullptr;
  }
  WaylandTarget* self = target.get();
  for (const Connection::Output& output : connection.Outputs()) self->AddOutput(output.output);
  connection.WatchOutputs({
      [self](const Connection::Output& output) { self->AddOutput(output.output); },
      [self](const Connection::Output& output) {
        std::erase_if(self->surfaces_,
                      [&](const auto& surface) { return surface->Output() == output.output; });
      },
  });
  const bool configured = connection.DispatchUntil(
      [self] {
        return std::all_of(self->surfaces_.begin(), self->surfaces_.end(),
                           [](const auto& surface) { return surface->Configured(); });
      },
      kConfigureTimeoutMs);
  if (!configured) {
    error = "the Wayland compositor gave the saver's surfaces no size";
    return nullptr;
  }
  return target;
}

WaylandTarget::~WaylandTarget() {
  NotifyGone();
  if (connection_) connection_->WatchOutputs({});
  seat_.reset();
  surfaces_.clear();
  buffers_.clear();
  black_.reset();
  if (connection_) wl_display_flush(connection_->Display());
}

void WaylandTarget::AddOutput(wl_output* output) {
  OutputSurface::Events events;
  events.configured = [this] {
    // A new size means a new place for the frame: shown again, whole.
    if (haveFrame_) Present();
  };
  events.closed = [this] { input_.CloseRequested(); };
  surfaces_.push_back(std::make_unique<OutputSurface>(*connection_, output, black_->Buffer(),
                                                      appId_, title_, std::move(events)));
}

int WaylandTarget::ClientWidth() const {
  return surfaces_.empty() ? frameWidth_ : surfaces_.front()->Width();
}

int WaylandTarget::ClientHeight() const {
  return surfaces_.empty() ? frameHeight_ : surfaces_.front()->Height();
}

void WaylandTarget::ResizeClient(int width, int height) {
  (void)width;
  (void)height;
}

void WaylandTarget::Show(const uint32_t* pixels, int width, int height, int pitch) {
  ShowChanges(pixels, width, height, pitch, FrameChanges{});
}

void WaylandTarget::ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                                const FrameChanges& changes) {
  if (lost_ || width <= 0 || height <= 0) return;
  const bool showKept = changes.kept != nullptr;
  FrameChanges effective = changes;
  effective.whole = changes.whole || changes.presenter == nullptr ||
                    changes.presenter != presenter_ || width != frameWidth_ ||
                    height != frameHeight_ || !haveFrame_;
  presenter_ = changes.presenter;
  if (width != frameWidth_ || height != frameHeight_ || ring_.Width() != width ||
      ring_.Height() != height) {
    frameWidth_ = width;
    frameHeight_ = height;
    // Buffers of the old size go; the surfaces show theirs until the next arrives.
    ring_.Reset(width, height);
    buffers_.clear();
  }
  if (showKept) {
    kept_ = changes.kept;
    std::vector<std::uint32_t>().swap(own_);
  } else {
    kept_.reset();
    own_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    // Only the changed rows and columns are copied into our own.
    std::array<ChangedRect, StaleArea::kMaxRects> rects;
    const int n = StaleArea::Of(effective).Rects(width, height, rects);
    for (int i = 0; i < n; ++i) {
      const ChangedRect& r = rects[static_cast<std::size_t>(i)];
      for (int y = r.top; y < r.bottom; ++y)
        std::memcpy(&own_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                          static_cast<std::size_t>(r.left)],
                    reinterpret_cast<const std::uint8_t*>(pixels) +
                        static_cast<std::ptrdiff_t>(y) * pitch + std::ptrdiff_t{r.left} * 4,
                    static_cast<std::size_t>(r.right - r.left) * 4);
    }
  }
  haveFrame_ = true;
  ring_.Changed(effective);
  for (const auto& surface : surfaces_) surface->Changed(effective);
  Present();
}

const std::uint32_t* WaylandTarget::Frame() const {
  return kept_ != nullptr ? kept_.get() : own_.data();
}

void WaylandTarget::Present() {
  waiting_ = true;
  if (!haveFrame_ || lost_) return;
  // A buffer attached to no surface would never come back.
  if (std::none_of(surfaces_.begin(), surfaces_.end(),
                   [](const auto& surface) { return surface->Configured(); }))
    return;
  int index = ring_.Free();
  if (index < 0 && ring_.Size() < kMaxBuffers) {
    std::string error;
    const int next = ring_.Size();
    auto buffer = ShmBuffer::Create(
        connection_->Shm(), frameWidth_, frameHeight_,
        [this, next] {
          ring_.Release(next);
          if (waiting_) Present();
        },
        error);
    if (buffer) {
      index = ring_.Add(buffer->Pixels());
      buffers_.push_back(std::move(buffer));
    } else if (!bufferFailed_) {
      // The frames wait for a buffer the compositor gives back; with none made, the
      // outputs stay black.
      bufferFailed_ = true;
      Log("Wayland: no buffer for the frame: " + error);
    }
  }
  if (index < 0) return;
  ring_.FillAndHold(index, Frame(), frameWidth_ * 4);
  for (const auto& surface : surfaces_)
    surface->Show(buffers_[static_cast<std::size_t>(index)]->Buffer(), frameWidth_, frameHeight_);
  waiting_ = false;
  ++framesShown_;
  if (wl_display_flush(connection_->Display()) < 0 && errno != EAGAIN) lost_ = true;
}

bool WaylandTarget::HandleEvents() {
  if (!lost_ && !connection_->Dispatch()) {
    lost_ = true;
    const int error = wl_display_get_error(connection_->Display());
    Log(std::string("Wayland: the connection to the compositor is lost: ") +
        (error != 0 ? std::strerror(error) : "it closed"));
  }
  return !lost_;
}

void WaylandTarget::KeyPressed() { input_.KeyDown(); }

void WaylandTarget::PointerAt(wl_surface* surface, double x, double y) {
  for (const auto& output : surfaces_) {
    if (output->Surface() != surface) continue;
    const FramePoint p =
        ToFramePixel(x, y, output->Place(frameWidth_, frameHeight_), frameWidth_, frameHeight_);
    input_.MouseMove(p.x, p.y);
    return;
  }
}

}  // namespace platform
