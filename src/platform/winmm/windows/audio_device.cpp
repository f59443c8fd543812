#include "platform/winmm/audio_device.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

#include <algorithm>
#include <vector>

namespace platform {
namespace {

std::vector<AudioReleaseHook>& Hooks() {
  static std::vector<AudioReleaseHook> hooks;
  return hooks;
}

}  // namespace

// The system opens its devices per sound and per piece; there is nothing to open here, only
// to ask whether anything would sound.
bool AudioDeviceOpen() { return ::waveOutGetNumDevs() > 0; }

bool MidiAvailable() { return ::midiOutGetNumDevs() > 0; }

void RegisterAudioReleaseHook(AudioReleaseHook hook) {
  auto& hooks = Hooks();
  if (std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}

void CloseAudioDeviceWhenSilent(unsigned /*quietMs*/) {}

void CloseAudioDevice() {
  for (const AudioReleaseHook hook : Hooks()) hook();
}

}  // namespace platform
