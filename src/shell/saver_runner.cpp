#include "shell/saver_runner.h"

#include <algorithm>
#include <cstdio>

#include "platform/gdi/gdi.h"
#include "platform/loop/message_loop.h"
#include "platform/winmm/audio_device.h"
#include "platform/winmm/timer.h"
#include "shell/saver_device.h"

namespace shell {

SaverRunner::SaverRunner(SaverHost& host, SaverRunOptions options)
    : host_(host), options_(std::move(options)) {
  DG = std::make_unique<dg::TDGCarad>(host_.DeviceWindow());
  host_.DeviceStarted(StartSaverDevice(*DG));
  host_.SetCursor(SaverHost::Cursor::kHidden);

  presentation::ScreenOptions screenOptions;
  screenOptions.dataDir = options_.paths.dataDir;
  screenOptions.sound =
      options_.overrides.chimeOff ? presentation::SoundOutput::kSilent : options_.sound;
  // A device that can no longer draw ends the program without the closing handler.
  screenOptions.deviceLost = [] { platform::QuitMessageLoop(0); };
  // The timer resolution is raised between the scene and the textures.
  screenOptions.sceneMade = [] { platform::timeBeginPeriod(1); };
  screenOptions.framePresenting = options_.framePresenting;
  screen_ = std::make_unique<presentation::SaverScreen>(*DG, screenOptions);

  SessionOptions sessionOptions{
      options_.paths, options_.seed,
      [](const std::string& face) { return platform::gdi::IsJapaneseScreenFont(face); },
      options_.music, [] { platform::ProcessPendingMessages(); }};
  sessionOptions.overrides = options_.overrides;
  session_ = std::make_unique<SaverSession>(*screen_, host_.GameClock(), std::move(sessionOptions));
  session_->StartUp();
  // Opened now, so that the first chime does not wait inside a tick for the drivers' probe.
  const bool mayChime = screenOptions.sound == presentation::SoundOutput::kSpeaker;
  if (mayChime || session_->MusicOn()) {
    if (!platform::AudioDeviceOpen() && session_->MusicOn())
      std::fprintf(stderr, "velmorandi: no sound device can be opened; the music stays silent\n");
  }
}

SaverRunner::~SaverRunner() {
  platform::timeEndPeriod(1);
  session_.reset();
  screen_.reset();
  host_.ReleasingDevice();
  DG.reset();
  // The music's devices, the mixer and the audio device, in that order and once: nothing of
  // them is left for the process's exit.
  platform::CloseAudioDevice();
}

int SaverRunner::Run() {
  return platform::RunMessageLoop([this] { return Idle(); }, platform::StopRequests::kEndLoop);
}

std::uint32_t SaverRunner::Idle() {
  if (closed_) return platform::kWaitForMessages;
  if (!host_.HandlePendingEvents()) {
    closed_ = true;
    platform::QuitMessageLoop(0);
    return platform::kWaitForMessages;
  }
  TickWhenDue();
  // One wake-up a tick: the loop sleeps until the next one is due.
  return NextTickInMs();
}

bool SaverRunner::TickWhenDue() {
  if (!session_->Tick()) return false;
  if (options_.reportFirstFrameSince && !firstFrameReported_) ReportFirstFrame();
  return true;
}

std::uint32_t SaverRunner::NextTickInMs() const {
  const auto remaining =
      static_cast<std::int32_t>(session_->LastTickTime() + kTickMs - host_.GameClock().Now());
  return static_cast<std::uint32_t>(std::max(remaining, 1));
}

// Input may arrive while a frame is being composed (a folder scan lets messages through), so
// the rules only close the saver: the loop ends after the current tick.
void SaverRunner::KeyDown() { Close(); }

void SaverRunner::MouseMove(int frameX, int frameY) {
  if (mouse_.Move(frameX, frameY) == MouseVerdict::kClose) Close();
}

void SaverRunner::Close() {
  if (closed_) return;
  closed_ = true;
  host_.SetCursor(SaverHost::Cursor::kShown);
  platform::QuitMessageLoop(0);
}

void SaverRunner::ReportFirstFrame() {
  firstFrameReported_ = true;
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                      std::chrono::steady_clock::now() - *options_.reportFirstFrameSince)
                      .count();
  std::fprintf(stderr, "velmorandi: first frame presented %.1f ms after start\n", us / 1000.0);
  std::fflush(stderr);
}

}  // namespace shell
