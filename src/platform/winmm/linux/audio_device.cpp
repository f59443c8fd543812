#include "platform/winmm/audio_device.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/log/log.h"

namespace platform {
namespace {

// The General MIDI sound font every MIDI device plays through.
constexpr const char* kSoundFontPath = "/usr/share/sounds/sf2/TimGM6mb.sf2";

enum class AudioState { kUntried, kOpen, kFailed };

struct Audio {
  AudioState state = AudioState::kUntried;
  bool midi = false;
  bool exitHandlerSet = false;
  bool quiet = false;  // silent since quietSince (SDL ticks)
  Uint32 quietSince = 0;
  std::vector<AudioReleaseHook> hooks;
};

Audio& TheAudio() {
  static Audio audio;
  return audio;
}

// 44.1 kHz 16-bit stereo is what the sound font's samples are made for; 2048 frames
// (46 ms) per callback keeps the synthesiser's wake-ups few.
constexpr int kFrequency = 44100;
constexpr int kChannels = 2;
constexpr int kChunkFrames = 2048;

// ALSA's library reports every step of a failed probe on stderr ("cannot find card",
// "Unknown PCM default", ...) on every start of a machine without a sound card.
// Its reporting goes nowhere instead; whether a device opened is what counts, and a
// failure is logged below in one line. The library is the one SDL loads itself, so the
// handler set here is the one its probe uses. Without the library there is nothing to quiet.
void QuietAlsaReport(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa() {
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  static void* const library = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
  if (library == nullptr) return;
  if (auto* set = reinterpret_cast<int (*)(Handler)>(dlsym(library, "snd_lib_error_set_handler"))) {
    set(QuietAlsaReport);
  }
}

void Open(Audio& audio) {
  QuietAlsa();
  // SDL would otherwise catch SIGINT and SIGTERM to post a quit event that nothing here
  // reads, and a process stopped with kill would play on. A value set in the environment
  // still wins over this default.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    platform::Log(std::string("audio: no audio device (") + SDL_GetError() + ")");
    audio.state = AudioState::kFailed;
    return;
  }
  // The sound font must be set before the MIDI decoder starts.
  Mix_SetSoundFonts(kSoundFontPath);
  const int initialised = Mix_Init(MIX_INIT_MID);
  if (Mix_OpenAudio(kFrequency, AUDIO_S16SYS, kChannels, kChunkFrames) != 0) {
    platform::Log(std::string("audio: the mixer cannot open (") + Mix_GetError() + ")");
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio.state = AudioState::kFailed;
    return;
  }
  audio.midi = (initialised & MIX_INIT_MID) != 0 && Mix_HasMusicDecoder("MIDI");
  audio.state = AudioState::kOpen;
  if (!audio.exitHandlerSet) {
    // Registered after the modules' own statics exist, so it runs before they are gone.
    std::atexit(CloseAudioDevice);
    audio.exitHandlerSet = true;
  }
}

}  // namespace

bool AudioDeviceOpen() {
  Audio& audio = TheAudio();
  if (audio.state == AudioState::kUntried) Open(audio);
  return audio.state == AudioState::kOpen;
}

bool MidiAvailable() { return AudioDeviceOpen() && TheAudio().midi; }

void RegisterAudioReleaseHook(AudioReleaseHook hook) {
  auto& hooks = TheAudio().hooks;
  if (std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}

void CloseAudioDeviceWhenSilent(unsigned quietMs) {
  Audio& audio = TheAudio();
  if (audio.state != AudioState::kOpen) return;
  if (Mix_Playing(-1) > 0 || Mix_PlayingMusic() != 0) {
    audio.quiet = false;
    return;
  }
  const Uint32 now = SDL_GetTicks();
  if (!audio.quiet) {
    audio.quiet = true;
    audio.quietSince = now;
  } else if (now - audio.quietSince >= quietMs) {
    CloseAudioDevice();
  }
}

void CloseAudioDevice() {
  Audio& audio = TheAudio();
  const bool wasOpen = audio.state == AudioState::kOpen;
  for (const AudioReleaseHook hook : audio.hooks) hook();
  audio.state = AudioState::kUntried;
  audio.midi = false;
  audio.quiet = false;
  if (!wasOpen) return;
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace platform
