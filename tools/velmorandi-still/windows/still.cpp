// Windows: the saver on the system's Direct3D 9, full screen at 640 x 480 on a window of its
// own, each frame read back from the back buffer before it is presented. Only PPM is
// written here.
#include <windows.h>

#include <memory>
#include <optional>
#include <stdexcept>

#include "dg/carad.h"
#include "platform/fs/app_paths.h"
#include "platform/gdi/gdi.h"
#include "platform/winmm/timer.h"
#include "presentation/saver_screen.h"
#include "shell/saver_device.h"
#include "shell/saver_session.h"
#include "shell/windows/frame_copy.h"
#include "velmorandi-still/still.h"

namespace still {
namespace {

struct WindowDeleter {
  void operator()(HWND window) const { DestroyWindow(window); }
};

HWND MakeWindow() {
  static const ATOM windowClass = [] {
    WNDCLASSW description{};
    description.lpfnWndProc = DefWindowProcW;
    description.hInstance = GetModuleHandleW(nullptr);
    description.lpszClassName = L"VelmorandiStill";
    return RegisterClassW(&description);
  }();
  if (windowClass == 0) return nullptr;
  return CreateWindowExW(WS_EX_TOPMOST, L"VelmorandiStill", L"velmorandi-still", WS_POPUP, 0, 0,
                         640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

Frame DrawStill(const std::string& dataDir, std::uint64_t seed, int ticks) {
  platform::TestClock testClock(0);
  shell::WinmmClock clock;
  const std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter> window(MakeWindow());
  if (!window) throw std::runtime_error("no window for the device");
  ShowWindow(window.get(), SW_SHOWNOACTIVATE);

  std::optional<shell::FrameCopy> last;
  bool keep = false;  // only the frames of the last tick are read back
  dg::TDGCarad carad(window.get());
  shell::StartSaverDevice(carad);
  presentation::ScreenOptions options;
  options.dataDir = dataDir;
  options.sound = presentation::SoundOutput::kSilent;
  options.framePresenting = [&](IDirect3DDevice9& device) {
    if (keep) last = shell::ReadBackBuffer(device);
  };
  presentation::SaverScreen screen(carad, options);
  shell::SaverSession session(
      screen, clock,
      shell::SessionOptions{
          platform::SingleFolderPaths(dataDir), seed,
          [](const std::string& face) { return platform::gdi::IsInstalledScreenFont(face); },
          shell::MusicOutput::kNone, nullptr});
  session.StartUp();
  for (int done = 0; done < ticks;) {
    keep = done == ticks - 1;
    if (session.Tick()) {
      ++done;
    } else {
      platform::Sleep(1);
    }
  }
  if (!last) throw std::runtime_error("the saver presented no frame");
  if (!last->error.empty()) throw std::runtime_error("reading the frame back: " + last->error);

  Frame frame;
  frame.width = last->width;
  frame.height = last->height;
  frame.pixels.reserve(static_cast<std::size_t>(frame.width) * frame.height);
  for (std::size_t i = 0; i + 2 < last->rgb.size(); i += 3) {
    frame.pixels.push_back(std::uint32_t{last->rgb[i]} << 16 |
                           std::uint32_t{last->rgb[i + 1]} << 8 | last->rgb[i + 2]);
  }
  return frame;
}

const std::vector<std::string>& ImageEndings() {
  static const std::vector<std::string> none;
  return none;
}

bool WriteImage(const Frame& /*frame*/, const std::string& /*path*/) { return false; }

}  // namespace still
