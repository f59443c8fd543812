// Shared set-up of the scene and text writer tests: a device wrapper with a 640 x 480 device
// (test_device.h), the debug log in a file of the test's own, and the font
// alias file of the build's data folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dg/carad.h"
#include "dg/debug_log.h"
#include "dg/texture.h"
#include "platform/d3d9/d3d9.h"
#include "platform/gdi/gdi.h"
#include "sx/test_device.h"

namespace sx::testing {

class SxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dg::SetDebugLogPath(::testing::TempDir() + "sx_test_DebugLog.txt");
    dg::LogLineCount = 0;
    platform::gdi::SetFontAliasFile(VM_TEST_FONT_ALIAS_FILE);
    carad_ = std::make_unique<dg::TDGCarad>(TestDeviceOwner());
    carad_->SetDebugOption(dg::dgoDebugMessage);
    carad_->Loaded();
    ASSERT_NE(carad_->Device(), nullptr);
  }
  void TearDown() override {
    textures_.clear();
    carad_.reset();
    dg::SetDebugLogPath("");
  }

  IDirect3DDevice9* Device() const { return carad_->Device(); }

  // A managed A8R8G8B8 texture of the size, every pixel `colour`; owned by the fixture.
  dg::TDGTexture* MakeTexture(std::uint32_t width, std::uint32_t height,
                              std::uint32_t colour = 0xFFFFFFFF) {
    textures_.push_back(
        std::make_unique<dg::TDGTexture>(*carad_, dg::DGAlphaFormats, 0, D3DPOOL_MANAGED, 1, ""));
    dg::TDGTexture* texture = textures_.back().get();
    texture->SetSize(width, height);
    texture->FillRect(RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)}, colour,
                      dg::TDGFillAlpha::Replace);
    return texture;
  }

  static std::uint64_t Address(const dg::TDGTexture* texture) {
    return reinterpret_cast<std::uint64_t>(static_cast<IDirect3DBaseTexture9*>(texture->Texture()));
  }

  // The back buffer after a Present, 640 x 480 A8R8G8B8 pixels.
  std::vector<std::uint32_t> PresentAndRead() {
    UINT width = 0, height = 0;
    std::vector<std::uint32_t> pixels = ReadFrameAndPresent(*Device(), width, height);
    EXPECT_EQ(width, 640u);
    EXPECT_EQ(height, 480u);
    return pixels;
  }

  std::unique_ptr<dg::TDGCarad> carad_;
  std::vector<std::unique_ptr<dg::TDGTexture>> textures_;
};

}  // namespace sx::testing
