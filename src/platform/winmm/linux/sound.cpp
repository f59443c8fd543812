#include "platform/winmm/sound.h"

#include <SDL.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/winmm/audio_device.h"
#include "platform/winmm/linux/audio_voice.h"

namespace platform {
namespace {

// The WAV file's samples in the device's format, or nullopt when it is missing or not a
// WAV SDL can convert.
std::optional<std::vector<std::uint8_t>> LoadWav(const char* path) {
  SDL_AudioSpec wav{};
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV(path, &wav, &samples, &length)) return std::nullopt;
  SDL_AudioCVT convert{};
  const int built = SDL_BuildAudioCVT(&convert, wav.format, wav.channels, wav.freq, AUDIO_S16SYS,
                                      kDeviceChannels, kDeviceFrequency);
  if (built < 0) {
    SDL_FreeWAV(samples);
    return std::nullopt;
  }
  // Conversion happens in place, in a buffer len_mult times the input.
  std::vector<std::uint8_t> pcm(static_cast<std::size_t>(length) * convert.len_mult);
  if (length > 0) std::memcpy(pcm.data(), samples, length);
  SDL_FreeWAV(samples);
  convert.buf = pcm.data();
  convert.len = static_cast<int>(length);
  if (built == 1 && SDL_ConvertAudio(&convert) != 0) return std::nullopt;
  pcm.resize(built == 1 ? static_cast<std::size_t>(convert.len_cvt) : length);
  // Whole frames only: a cut-off last frame would shift the channels of what follows.
  constexpr std::size_t kFrameBytes = 2 * kDeviceChannels;
  pcm.resize(pcm.size() / kFrameBytes * kFrameBytes);
  return pcm;
}

}  // namespace

BOOL sndPlaySoundA(const char* path, UINT flags) {
  if (!path) {
    StopVoice();
    return 1;
  }
  if (!AudioDeviceOpen()) return 0;
  std::optional<std::vector<std::uint8_t>> pcm = LoadWav(path);
  if (!pcm || !PlayVoice(std::move(*pcm))) return 0;
  if ((flags & SND_ASYNC) == 0) {
    while (VoicePlaying()) SDL_Delay(5);
  }
  return 1;
}

}  // namespace platform
