// The Windows program's entry: the first command-line argument chooses the windows to
// create, then the message loop runs until the main window ends it.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dg/debug_log.h"
#include "platform/fs/app_paths.h"
#include "platform/log/log.h"
#include "settings/dialogs/windows/settings_dialog.h"
#include "shell/run_environment.h"
#include "shell/run_mode.h"
#include "shell/windows/preview_window.h"
#include "shell/windows/saver_window.h"
#include "shell/windows/start_failure.h"

namespace shell {
// The still of the saver the preview shows (JPEG bytes, drawn by the native build).
std::string_view PreviewStillJpeg();
}  // namespace shell

namespace {

// Set (to anything) to have the saver report its first presented frame on stderr.
constexpr char kFirstFrameVariable[] = "VELMORANDI_REPORT_FIRST_FRAME";
// A frame number (1 = the first): the saver writes that frame (the preview, that paint),
// read back from what it drew, as a PPM file at the path in kFrameCopyPathVariable.
constexpr char kFrameCopyVariable[] = "VELMORANDI_COPY_FRAME";
constexpr char kFrameCopyPathVariable[] = "VELMORANDI_COPY_FRAME_TO";

std::optional<shell::FrameCopyRequest> FrameCopyFromEnvironment() {
  const char* frame = std::getenv(kFrameCopyVariable);
  const char* path = std::getenv(kFrameCopyPathVariable);
  if (frame == nullptr || path == nullptr) return std::nullopt;
  const int number = std::atoi(frame);
  if (number < 1) return std::nullopt;
  return shell::FrameCopyRequest{number, path};
}

int RunSaver(HINSTANCE instance, std::chrono::steady_clock::time_point started) {
  shell::SaverWindowOptions options;
  options.paths = platform::Paths();
  if (std::getenv(kFirstFrameVariable) != nullptr) options.reportFirstFrameSince = started;
  options.frameCopy = FrameCopyFromEnvironment();
  options.seed = shell::SeedFromEnvironment();
  std::unique_ptr<shell::TVelmorandiSaverForm> form;
  {
    // A failure of the start-up is shown to the user; one while the saver runs is not.
    const shell::StartFailureNotice notice;
    form = std::make_unique<shell::TVelmorandiSaverForm>(instance, options);
  }
  return form->Run();
}

}  // namespace

int main(int argc, char** argv) {
  const auto started = std::chrono::steady_clock::now();
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const shell::RunRequest request = shell::ParseCommandLine(args);
  if (request.mode == shell::RunMode::kNone) return 0;

  platform::SetLogSink([](std::string_view m) { dg::DebugLog(m); });
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  switch (request.mode) {
    case shell::RunMode::kSaver:
      return RunSaver(instance, started);
    case shell::RunMode::kPreview:
      return shell::RunPreviewMode(
          instance, reinterpret_cast<HWND>(static_cast<std::uintptr_t>(request.parentWindow)),
          shell::PreviewStillJpeg(), FrameCopyFromEnvironment());
    case shell::RunMode::kSettings:
    case shell::RunMode::kSettingsShown:
      // The dialog is shown either way: on Windows the two starts look the same.
      return settings::RunSettingsDialog();
    case shell::RunMode::kNone:
      break;
  }
  return 0;
}
