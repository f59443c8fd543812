// SDL2_mixer, loaded only when music is to play. It brings the synthesiser and every
// decoder with it (megabytes of shared objects: sound fonts, sndfile, vorbis, the sound
// servers' clients), which a process that only ever plays its chime never needs; the
// chime plays through SDL's own audio device.
#pragma once

#include <SDL_mixer.h>

#include <optional>
#include <string>

namespace platform {

inline constexpr const char* kMixerLibraryName = "libSDL2_mixer-2.0.so.0";

// The few mixer functions used here, resolved from the loaded library.
struct MixerLibrary {
  decltype(&Mix_Init) Init;
  decltype(&Mix_Quit) Quit;
  decltype(&Mix_OpenAudio) OpenAudio;
  decltype(&Mix_CloseAudio) CloseAudio;
  decltype(&Mix_SetSoundFonts) SetSoundFonts;
  decltype(&Mix_HasMusicDecoder) HasMusicDecoder;
  decltype(&Mix_LoadMUSType_RW) LoadMUSType_RW;
  decltype(&Mix_FreeMusic) FreeMusic;
  decltype(&Mix_PlayMusic) PlayMusic;
  decltype(&Mix_HaltMusic) HaltMusic;
  decltype(&Mix_PauseMusic) PauseMusic;
  decltype(&Mix_ResumeMusic) ResumeMusic;
  decltype(&Mix_PausedMusic) PausedMusic;
  decltype(&Mix_PlayingMusic) PlayingMusic;
  decltype(&Mix_QuickLoad_RAW) QuickLoad_RAW;
  decltype(&Mix_FreeChunk) FreeChunk;
  decltype(&Mix_PlayChannelTimed) PlayChannelTimed;
  decltype(&Mix_HaltChannel) HaltChannel;
  decltype(&Mix_Playing) Playing;
};

// The functions of the shared library `soname`; nullopt, with the reason in `error`, when
// it cannot be loaded or lacks one of them (the library is then unloaded again).
std::optional<MixerLibrary> LoadMixerLibrary(const char* soname, std::string& error);

// The system's mixer, loaded on the first call and kept for the life of the process. Null
// when it cannot be loaded: logged once ("music is off"), and every later call is null too.
const MixerLibrary* TheMixerLibrary();

}  // namespace platform
