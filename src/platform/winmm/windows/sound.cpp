#include "platform/winmm/sound.h"

#include "platform/fs/fs.h"
#include "platform/winmm/audio_device.h"
#include "platform/winmm/windows/system_strings.h"

namespace {
constexpr platform::UINT kOurAsync = platform::SND_ASYNC;
constexpr platform::UINT kOurNoDefault = platform::SND_NODEFAULT;
}  // namespace

#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

// Our flags are the system's, passed through unchanged.
static_assert(kOurAsync == SND_ASYNC && kOurNoDefault == SND_NODEFAULT);

namespace platform {
namespace {

void StopSound() { ::sndPlaySoundW(nullptr, 0); }

}  // namespace

BOOL sndPlaySoundA(const char* path, UINT flags) {
  RegisterAudioReleaseHook(StopSound);
  if (!path) return ::sndPlaySoundW(nullptr, 0) ? 1 : 0;
  // An asynchronous sound looks for its file only once it plays, and reports success
  // whatever it finds; the caller is told of a missing file here.
  if (!FileExists(path)) return 0;
  return ::sndPlaySoundW(SystemPath(path).c_str(), flags) ? 1 : 0;
}

}  // namespace platform
