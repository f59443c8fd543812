#include "platform/winmm/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "platform/winmm/audio_device.h"

namespace platform {
namespace {

// The sound keeps a mixer channel of its own, so a new one can cut the old one off.
constexpr int kSoundChannel = 0;

Mix_Chunk*& CurrentSound() {
  static Mix_Chunk* chunk = nullptr;
  return chunk;
}

void ReleaseSound() {
  Mix_Chunk*& chunk = CurrentSound();
  if (!chunk) return;
  Mix_HaltChannel(kSoundChannel);
  Mix_FreeChunk(chunk);
  chunk = nullptr;
}

}  // namespace

BOOL sndPlaySoundA(const char* path, UINT flags) {
  RegisterAudioReleaseHook(ReleaseSound);
  if (!path) {
    ReleaseSound();
    return 1;
  }
  if (!AudioDeviceOpen()) return 0;
  Mix_Chunk* chunk = Mix_LoadWAV(path);
  if (!chunk) return 0;
  // The channel is halted before its chunk is freed: the mixer may be reading it.
  ReleaseSound();
  if (Mix_PlayChannel(kSoundChannel, chunk, 0) < 0) {
    Mix_FreeChunk(chunk);
    return 0;
  }
  CurrentSound() = chunk;
  if ((flags & SND_ASYNC) == 0) {
    while (Mix_Playing(kSoundChannel)) SDL_Delay(5);
  }
  return 1;
}

}  // namespace platform
