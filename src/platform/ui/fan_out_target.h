// One device's frames shown by several targets at once (a window on each monitor). The
// first target answers for the size and follows the device's mode and size; the others
// keep their own size (their monitor's) and are shown every frame.
#pragma once

#include <vector>

#include "platform/d3d9/present_target.h"

class FanOutTarget final : public PresentTarget {
 public:
  // The targets must outlive this one, or at least every frame presented through it.
  explicit FanOutTarget(std::vector<PresentTarget*> targets);
  ~FanOutTarget() override;

  void Show(const uint32_t* pixels, int width, int height, int pitch) override;
  void ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                   const FrameChanges& changes) override;
  int ClientWidth() const override { return targets_.front()->ClientWidth(); }
  int ClientHeight() const override { return targets_.front()->ClientHeight(); }
  void ResizeClient(int width, int height) override;
  void SetMode(Mode mode) override;

 private:
  std::vector<PresentTarget*> targets_;
};
