#include "platform/winmm/mci.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/fs/fs.h"
#include "platform/winmm/audio_device.h"
#include "platform/winmm/linux/mixer_library.h"
#include "platform/winmm/mci_command.h"
#include "platform/winmm/mci_errors.h"
#include "platform/winmm/midi_duration.h"

namespace platform {
namespace {

// kEnd: played to the end; only a seek leaves it.
enum class Position { kStart, kPlaying, kStopped, kEnd };

// Devices exist only while the mixer holds the audio device, so it is loaded whenever
// this is called.
const MixerLibrary& Mixer() { return *TheMixerLibrary(); }

struct MusicDeleter {
  void operator()(Mix_Music* music) const { Mixer().FreeMusic(music); }
};

using PlayClock = std::chrono::steady_clock;

// MIDI files are kilobytes; the synthesiser reads a whole file into memory, on the caller's
// thread, so a huge file that merely carries the name is refused before it is read.
constexpr std::uintmax_t kMaxMidiFileBytes = 16u << 20;

struct Device {
  std::string alias;
  std::unique_ptr<Mix_Music, MusicDeleter> music;
  Position position = Position::kStart;
  // Where the piece ends; without it, the end is when the synthesiser reports it.
  std::optional<double> durationMs;
  // Playing time before the current run, and when the current run began. Playback runs
  // in real time whatever clock the program's logic uses.
  double playedMs = 0;
  PlayClock::time_point runStart;

  double PlayedMs() const {
    const std::chrono::duration<double, std::milli> run = PlayClock::now() - runStart;
    return playedMs + (position == Position::kPlaying ? run.count() : 0.0);
  }
};

struct Devices {
  std::vector<std::unique_ptr<Device>> open;
  Device* sounding = nullptr;  // the device whose piece holds the mixer's music channel
};

// Never destroyed: the audio device's exit handler closes the devices, and exit handlers
// and the destructors of function statics run interleaved in one reverse order, so a
// table made after that handler was registered would be gone before it runs.
Devices& TheDevices() {
  static Devices& devices = *new Devices;
  return devices;
}

void ReleaseDevices() {
  Devices& devices = TheDevices();
  if (devices.sounding) Mixer().HaltMusic();
  devices.sounding = nullptr;
  devices.open.clear();
}

Device* FindDevice(const std::string& alias) {
  for (const auto& device : TheDevices().open) {
    if (EqualsIgnoringAsciiCase(device->alias, alias)) return device.get();
  }
  return nullptr;
}

// The synthesiser takes any bytes at open and fails only when it plays, so a file that is
// not MIDI would open "successfully" and never sound. The header chunk and the start of
// the first track are checked here instead.
bool StartsLikeStandardMidiFile(std::string_view file) {
  auto bigEndian = [&](std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | static_cast<unsigned char>(file[at + i]);
    return value;
  };
  if (file.size() < 22 || file.substr(0, 4) != "MThd" || file.substr(14, 4) != "MTrk") {
    return false;
  }
  const std::uint32_t format = bigEndian(8, 2);
  return bigEndian(4, 4) == 6 && format <= 2 && bigEndian(10, 2) > 0 && bigEndian(12, 2) > 0 &&
         bigEndian(18, 4) <= file.size() - 22;
}

// The device learns of the end when asked: the piece has played its length, or the mixer
// has finished it (for a piece whose length is unknown). The synthesiser's ringing out
// after the end is left to play until the next play or seek cuts it.
void NoteEnd(Device& device) {
  if (device.position != Position::kPlaying) return;
  const bool ended = TheDevices().sounding != &device || !Mixer().PlayingMusic() ||
                     (device.durationMs && device.PlayedMs() >= *device.durationMs);
  if (ended) {
    device.playedMs = device.PlayedMs();
    device.position = Position::kEnd;
  }
}

void Silence(Device& device) {
  Devices& devices = TheDevices();
  if (devices.sounding != &device) return;
  Mixer().HaltMusic();
  devices.sounding = nullptr;
}

MCIERROR Open(const MciCommand& command) {
  if (FindDevice(command.device)) return MCIERR_DUPLICATE_ALIAS;
  if (!FileExists(command.element)) return MCIERR_FILE_NOT_FOUND;
  if (!MidiAvailable()) return MCIERR_SEQ_NOMIDIPRESENT;
  std::error_code sizeError;
  const std::uintmax_t size = std::filesystem::file_size(command.element, sizeError);
  if (sizeError || size > kMaxMidiFileBytes) return MCIERR_INVALID_FILE;
  const std::optional<std::string> bytes = ReadWholeFile(command.element);
  if (!bytes) return MCIERR_FILE_NOT_FOUND;
  if (!StartsLikeStandardMidiFile(*bytes)) return MCIERR_INVALID_FILE;
  SDL_RWops* file = SDL_RWFromFile(command.element.c_str(), "rb");
  if (!file) return MCIERR_FILE_NOT_FOUND;
  // The type is fixed to MIDI: a sequencer device plays nothing else, whatever the bytes.
  Mix_Music* music = Mixer().LoadMUSType_RW(file, MUS_MID, 1);
  if (!music) return MCIERR_INVALID_FILE;
  auto device = std::make_unique<Device>();
  device->alias = command.device;
  device->music.reset(music);
  device->durationMs = MidiDurationMs(*bytes);
  TheDevices().open.push_back(std::move(device));
  return 0;
}

MCIERROR Play(Device& device) {
  Devices& devices = TheDevices();
  NoteEnd(device);
  switch (device.position) {
    case Position::kPlaying:
    case Position::kEnd:
      return 0;
    case Position::kStopped:
      if (devices.sounding == &device) {
        Mixer().ResumeMusic();
        device.runStart = PlayClock::now();
        device.position = Position::kPlaying;
        return 0;
      }
      break;  // another device took the channel: start again from the beginning
    case Position::kStart:
      break;
  }
  if (devices.sounding && devices.sounding != &device) {
    Device& previous = *devices.sounding;
    NoteEnd(previous);
    Silence(previous);
    if (previous.position != Position::kEnd) previous.position = Position::kStart;
  }
  if (Mixer().PausedMusic()) Mixer().ResumeMusic();
  if (Mixer().PlayMusic(device.music.get(), 0) != 0) return MCIERR_SEQ_NOMIDIPRESENT;
  devices.sounding = &device;
  device.position = Position::kPlaying;
  device.playedMs = 0;
  device.runStart = PlayClock::now();
  return 0;
}

MCIERROR Stop(Device& device) {
  NoteEnd(device);
  if (device.position == Position::kPlaying) {
    Mixer().PauseMusic();
    device.playedMs = device.PlayedMs();
    device.position = Position::kStopped;
  }
  return 0;
}

MCIERROR Seek(Device& device) {
  Silence(device);
  device.position = Position::kStart;
  device.playedMs = 0;
  return 0;
}

MCIERROR Close(Device& device) {
  Silence(device);
  auto& open = TheDevices().open;
  for (auto it = open.begin(); it != open.end(); ++it) {
    if (it->get() == &device) {
      open.erase(it);
      break;
    }
  }
  return 0;
}

// Copies `text` with its NUL into the caller's buffer when it fits.
MCIERROR Answer(const char* text, char* returnString, UINT returnLength) {
  if (!returnString) return 0;
  const std::size_t length = std::strlen(text);
  if (length + 1 > returnLength) return MCIERR_PARAM_OVERFLOW;
  std::memcpy(returnString, text, length + 1);
  return 0;
}

MCIERROR Run(const MciCommand& command, char* returnString, UINT returnLength) {
  if (command.verb == MciVerb::kOpen) return Open(command);
  Device* device = FindDevice(command.device);
  if (!device) return MCIERR_INVALID_DEVICE_NAME;
  switch (command.verb) {
    case MciVerb::kPlay:
      return Play(*device);
    case MciVerb::kStop:
      return Stop(*device);
    case MciVerb::kSeek:
      return Seek(*device);
    case MciVerb::kClose:
      return Close(*device);
    case MciVerb::kStatus: {
      NoteEnd(*device);
      const bool playing = device->position == Position::kPlaying;
      return Answer(playing ? "playing" : "stopped", returnString, returnLength);
    }
    case MciVerb::kOpen:
      break;
  }
  return MCIERR_UNRECOGNIZED_COMMAND;
}

}  // namespace

MCIERROR mciSendStringA(const char* command, char* returnString, UINT returnLength,
                        void* /*callback*/) {
  RegisterAudioReleaseHook(ReleaseDevices);
  if (returnString && returnLength > 0) returnString[0] = '\0';
  auto parsed = ParseMciCommand(command);
  if (const auto* error = std::get_if<MCIERROR>(&parsed)) return *error;
  return Run(std::get<MciCommand>(parsed), returnString, returnLength);
}

BOOL mciGetErrorStringA(MCIERROR code, char* text, UINT length) {
  const char* known = MciErrorText(code);
  CopyCut(known ? known : "Unknown error code.", text, length);
  return known ? 1 : 0;
}

}  // namespace platform
