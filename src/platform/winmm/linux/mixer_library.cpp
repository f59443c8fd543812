#include "platform/winmm/linux/mixer_library.h"

#include <dlfcn.h>

#include "platform/log/log.h"

namespace platform {
namespace {

template <typename Function>
void Bind(void* library, const char* name, Function& function, std::string& missing) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  if (!function && missing.empty()) missing = name;
}

}  // namespace

std::optional<MixerLibrary> LoadMixerLibrary(const char* soname, std::string& error) {
  // Local: the mixer's symbols serve only the table; SDL itself is the process's one copy.
  void* const library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* reason = dlerror();
    error = reason ? reason : std::string(soname) + ": cannot be loaded";
    return std::nullopt;
  }
  MixerLibrary mixer{};
  std::string missing;
  Bind(library, "Mix_Init", mixer.Init, missing);
  Bind(library, "Mix_Quit", mixer.Quit, missing);
  Bind(library, "Mix_OpenAudio", mixer.OpenAudio, missing);
  Bind(library, "Mix_CloseAudio", mixer.CloseAudio, missing);
  Bind(library, "Mix_SetSoundFonts", mixer.SetSoundFonts, missing);
  Bind(library, "Mix_HasMusicDecoder", mixer.HasMusicDecoder, missing);
  Bind(library, "Mix_LoadMUSType_RW", mixer.LoadMUSType_RW, missing);
  Bind(library, "Mix_FreeMusic", mixer.FreeMusic, missing);
  Bind(library, "Mix_PlayMusic", mixer.PlayMusic, missing);
  Bind(library, "Mix_HaltMusic", mixer.HaltMusic, missing);
  Bind(library, "Mix_PauseMusic", mixer.PauseMusic, missing);
  Bind(library, "Mix_ResumeMusic", mixer.ResumeMusic, missing);
  Bind(library, "Mix_PausedMusic", mixer.PausedMusic, missing);
  Bind(library, "Mix_PlayingMusic", mixer.PlayingMusic, missing);
  Bind(library, "Mix_QuickLoad_RAW", mixer.QuickLoad_RAW, missing);
  Bind(library, "Mix_FreeChunk", mixer.FreeChunk, missing);
  Bind(library, "Mix_PlayChannelTimed", mixer.PlayChannelTimed, missing);
  Bind(library, "Mix_HaltChannel", mixer.HaltChannel, missing);
  Bind(library, "Mix_Playing", mixer.Playing, missing);
  if (!missing.empty()) {
    error = std::string(soname) + " has no " + missing;
    dlclose(library);
    return std::nullopt;
  }
  return mixer;
}

const MixerLibrary* TheMixerLibrary() {
  static const std::optional<MixerLibrary> mixer = [] {
    std::string error;
    auto loaded = LoadMixerLibrary(kMixerLibraryName, error);
    if (!loaded) Log("audio: music is off: the mixer cannot be loaded (" + error + ")");
    return loaded;
  }();
  return mixer ? &*mixer : nullptr;
}

}  // namespace platform
