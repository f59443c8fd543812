// The completion sound: one WAV file at a time, played by the system's mixer by itself.
#pragma once

#include "platform/winmm/winmm_types.h"

namespace platform {

// Plays the WAV file `path` (UTF-8). With SND_ASYNC the call returns at once; without it,
// it returns when the sound has finished. A new sound replaces the one playing. Returns 0
// when the file is missing or not a WAV, or when there is no audio device (on Linux the
// sound playing, if any, then plays on). Linux has no system default sound, so there
// SND_NODEFAULT changes nothing. A null `path` stops the sound playing and returns 1.
BOOL sndPlaySoundA(const char* path, UINT flags);

}  // namespace platform
