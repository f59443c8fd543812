#include "platform/winmm/audio_device.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/log/log.h"
#include "platform/winmm/linux/audio_voice.h"
#include "platform/winmm/linux/mixer_library.h"

namespace platform {
namespace {

// The General MIDI sound font every MIDI device plays through.
constexpr const char* kSoundFontPath = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// The voice's channel on the mixer, so a new sound can cut the old one off.
constexpr int kVoiceChannel = 0;

enum class AudioState { kUntried, kOpen, kFailed };

// Who holds the open device: SDL's own device fed by MixVoice, or the mixer.
enum class Output { kDevice, kMixer };

struct Voice {
  std::vector<std::uint8_t> pcm;
  std::size_t played = 0;      // bytes handed to the device (kDevice)
  Mix_Chunk* chunk = nullptr;  // the samples left when the mixer took over (kMixer)
};

struct Audio {
  AudioState state = AudioState::kUntried;
  Output output = Output::kDevice;
  SDL_AudioDeviceID device = 0;
  bool midi = false;
  bool mixerFailed = false;  // the mixer would not open; not retried until the next open
  bool exitHandlerSet = false;
  bool quiet = false;  // silent since quietSince (SDL ticks)
  Uint32 quietSince = 0;
  Voice voice;
  std::vector<AudioReleaseHook> hooks;
};

// Never destroyed, so that CloseAudioDevice works from any exit handler.
Audio& TheAudio() {
  static Audio& audio = *new Audio;
  return audio;
}

// 44.1 kHz 16-bit stereo is what the sound font's samples are made for; 2048 frames
// (46 ms) per callback keeps the device's and the synthesiser's wake-ups few.
constexpr int kChunkFrames = 2048;

// ALSA's library reports every step of a failed probe on stderr ("cannot find card",
// "Unknown PCM default", ...) on every start of a machine without a sound card.
// Its reporting goes nowhere instead; whether a device opened is what counts, and a
// failure is logged below in one line. The library is the one SDL loads itself, so the
// handler set here is the one its probe uses. It is loaded only when SDL may probe ALSA:
// a driver named in the environment that is not ALSA never needs it.
void QuietAlsaReport(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa() {
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  static void* library = nullptr;
  if (library != nullptr) return;
  const char* driver = SDL_getenv("SDL_AUDIODRIVER");
  if (driver != nullptr && *driver != '\0' && std::strstr(driver, "alsa") == nullptr) return;
  library = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
  if (library == nullptr) return;
  if (auto* set = reinterpret_cast<int (*)(Handler)>(dlsym(library, "snd_lib_error_set_handler"))) {
    set(QuietAlsaReport);
  }
}

// SDL's device callback: the voice's next samples, then silence.
void MixVoice(void* userdata, Uint8* stream, int length) {
  Voice& voice = *static_cast<Voice*>(userdata);
  const std::size_t wanted = static_cast<std::size_t>(length);
  const std::size_t count = std::min(wanted, voice.pcm.size() - voice.played);
  if (count > 0) std::memcpy(stream, voice.pcm.data() + voice.played, count);
  voice.played += count;
  std::memset(stream + count, 0, wanted - count);
}

bool OpenDevice(Audio& audio) {
  SDL_AudioSpec wanted{};
  wanted.freq = kDeviceFrequency;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kDeviceChannels;
  wanted.samples = kChunkFrames;
  wanted.callback = MixVoice;
  wanted.userdata = &audio.voice;
  // No changes allowed: SDL converts to whatever the hardware takes.
  audio.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (audio.device == 0) return false;
  audio.output = Output::kDevice;
  SDL_PauseAudioDevice(audio.device, 0);
  return true;
}

void Open(Audio& audio) {
  QuietAlsa();
  // SDL would otherwise catch SIGINT and SIGTERM to post a quit event that nothing here
  // reads, and a process stopped with kill would play on. A value set in the environment
  // still wins over this default.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    Log(std::string("audio: no audio device (") + SDL_GetError() + ")");
    audio.state = AudioState::kFailed;
    return;
  }
  if (!OpenDevice(audio)) {
    Log(std::string("audio: the audio device cannot open (") + SDL_GetError() + ")");
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio.state = AudioState::kFailed;
    return;
  }
  audio.state = AudioState::kOpen;
  if (!audio.exitHandlerSet) {
    // Registered after the modules' own statics exist, so it runs before they are gone.
    std::atexit(CloseAudioDevice);
    audio.exitHandlerSet = true;
  }
}

// Plays the voice's samples from `from` on the mixer's channel. The chunk only borrows
// them: the voice keeps them until the chunk is freed.
void PlayVoiceOnMixer(const MixerLibrary& mixer, Voice& voice, std::size_t from) {
  if (from >= voice.pcm.size()) return;
  voice.chunk =
      mixer.QuickLoad_RAW(voice.pcm.data() + from, static_cast<Uint32>(voice.pcm.size() - from));
  if (voice.chunk && mixer.PlayChannelTimed(kVoiceChannel, voice.chunk, 0, -1) < 0) {
    mixer.FreeChunk(voice.chunk);
    voice.chunk = nullptr;
  }
}

void ForgetVoice(Audio& audio) {
  Voice& voice = audio.voice;
  if (voice.chunk) {
    const MixerLibrary& mixer = *TheMixerLibrary();
    mixer.HaltChannel(kVoiceChannel);
    mixer.FreeChunk(voice.chunk);
    voice.chunk = nullptr;
  }
  voice.pcm.clear();
  voice.played = 0;
}

// Hands the open device to the mixer, the voice with it. On failure the device is SDL's
// own again (or, if even that will not reopen, closed and failed).
void SwitchToMixer(Audio& audio) {
  const MixerLibrary* mixer = TheMixerLibrary();
  if (!mixer || audio.mixerFailed) return;
  // Closing waits for the callback, so `played` is final afterwards.
  SDL_CloseAudioDevice(audio.device);
  audio.device = 0;
  // The sound font must be set before the MIDI decoder starts.
  mixer->SetSoundFonts(kSoundFontPath);
  const int initialised = mixer->Init(MIX_INIT_MID);
  if (mixer->OpenAudio(kDeviceFrequency, AUDIO_S16SYS, kDeviceChannels, kChunkFrames) != 0) {
    Log(std::string("audio: music is off: the mixer cannot open (") + SDL_GetError() + ")");
    mixer->Quit();
    audio.mixerFailed = true;
    if (!OpenDevice(audio)) {
      Log(std::string("audio: the audio device cannot open again (") + SDL_GetError() + ")");
      CloseAudioDevice();
      audio.state = AudioState::kFailed;
    }
    return;
  }
  audio.output = Output::kMixer;
  audio.midi = (initialised & MIX_INIT_MID) != 0 && mixer->HasMusicDecoder("MIDI");
  PlayVoiceOnMixer(*mixer, audio.voice, audio.voice.played);
}

}  // namespace

bool AudioDeviceOpen() {
  Audio& audio = TheAudio();
  if (audio.state == AudioState::kUntried) Open(audio);
  return audio.state == AudioState::kOpen;
}

bool MidiAvailable() {
  Audio& audio = TheAudio();
  if (!AudioDeviceOpen()) return false;
  if (audio.output == Output::kDevice) SwitchToMixer(audio);
  return audio.state == AudioState::kOpen && audio.midi;
}

bool PlayVoice(std::vector<std::uint8_t> pcm) {
  Audio& audio = TheAudio();
  if (!AudioDeviceOpen()) return false;
  if (audio.output == Output::kMixer) {
    ForgetVoice(audio);
    audio.voice.pcm = std::move(pcm);
    PlayVoiceOnMixer(*TheMixerLibrary(), audio.voice, 0);
    return audio.voice.chunk != nullptr || audio.voice.pcm.empty();
  }
  // The old samples are freed outside the device's lock.
  SDL_LockAudioDevice(audio.device);
  audio.voice.pcm.swap(pcm);
  audio.voice.played = 0;
  SDL_UnlockAudioDevice(audio.device);
  return true;
}

bool VoicePlaying() {
  Audio& audio = TheAudio();
  if (audio.state != AudioState::kOpen) return false;
  if (audio.output == Output::kMixer) {
    return audio.voice.chunk != nullptr && TheMixerLibrary()->Playing(kVoiceChannel) != 0;
  }
  SDL_LockAudioDevice(audio.device);
  const bool playing = audio.voice.played < audio.voice.pcm.size();
  SDL_UnlockAudioDevice(audio.device);
  return playing;
}

void StopVoice() {
  Audio& audio = TheAudio();
  if (audio.state == AudioState::kOpen && audio.output == Output::kDevice) {
    std::vector<std::uint8_t> old;
    SDL_LockAudioDevice(audio.device);
    old.swap(audio.voice.pcm);
    audio.voice.played = 0;
    SDL_UnlockAudioDevice(audio.device);
    return;
  }
  ForgetVoice(audio);
}

void RegisterAudioReleaseHook(AudioReleaseHook hook) {
  auto& hooks = TheAudio().hooks;
  if (std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}

void CloseAudioDeviceWhenSilent(unsigned quietMs) {
  Audio& audio = TheAudio();
  if (audio.state != AudioState::kOpen) return;
  const bool music = audio.output == Output::kMixer && TheMixerLibrary()->PlayingMusic() != 0;
  if (music || VoicePlaying()) {
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
  if (wasOpen && audio.output == Output::kMixer) {
    ForgetVoice(audio);
    TheMixerLibrary()->CloseAudio();
    TheMixerLibrary()->Quit();
  } else if (audio.device != 0) {
    SDL_CloseAudioDevice(audio.device);
  }
  ForgetVoice(audio);
  if (wasOpen) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audio.device = 0;
  audio.output = Output::kDevice;
  audio.state = AudioState::kUntried;
  audio.midi = false;
  audio.mixerFailed = false;
  audio.quiet = false;
}

}  // namespace platform
