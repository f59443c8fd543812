#include "music/music_player.h"

#include <stdexcept>
#include <string_view>

#include "music/midi_folder_scan.h"
#include "platform/fs/fs.h"
#include "platform/winmm/mci.h"
#include "platform/winmm/timer.h"

namespace music {
namespace {

constexpr platform::DWORD kServiceIntervalMs = 1000;

// Results are ignored except for the status query: a piece that cannot play is found out
// by the failing status queries, which then do nothing.
void Send(const std::string& command) {
  platform::mciSendStringA(command.c_str(), nullptr, 0, nullptr);
}

}  // namespace

MusicPlayer::MusicPlayer(MusicHooks hooks) : hooks_(std::move(hooks)) {
  if (!hooks_.random) throw std::invalid_argument("MusicPlayer needs a random function");
  if (!hooks_.writeCaption) throw std::invalid_argument("MusicPlayer needs a caption writer");
}

void MusicPlayer::Configure(bool musicOn, const std::string& musicFile,
                            const std::string& musicFolder, MusicMode mode) {
  state_.musicOn = musicOn;
  state_.musicFile = musicFile;
  state_.musicFolder = musicFolder;
  if (musicOn && mode == MusicMode::kRandom) hooks_.writeCaption(kMusicPendingCaption);
}

void MusicPlayer::ArmMusicService() {
  if (state_.musicOn) state_.musicCheckTime = platform::timeGetTime();
}

void MusicPlayer::ServiceMusic() {
  if (!state_.musicOn) return;
  if (platform::timeGetTime() - state_.musicCheckTime < kServiceIntervalMs) return;
  if (!state_.musicStarted) {
    StartMusic();
  } else {
    CheckMusic();
  }
  state_.musicCheckTime = platform::timeGetTime();
}

void MusicPlayer::StartMusic() {
  if (!state_.musicFolder.empty()) {
    if (!platform::DirectoryExists(state_.musicFolder)) {
      state_.musicOn = false;
    } else {
      HandleMessages();
      std::vector<std::string> found;
      ScanMidiFolder(state_.musicFolder, found);
      if (found.empty()) {
        state_.musicOn = false;
      } else {
        state_.musicFiles = std::move(found);
        state_.musicFileCount = static_cast<int>(state_.musicFiles.size());
        state_.musicFile =
            state_.musicFiles.at(static_cast<std::size_t>(hooks_.random(state_.musicFileCount)));
        state_.musicShuffle = state_.musicFileCount >= 2;
      }
    }
  } else if (!platform::FileExists(state_.musicFile)) {
    state_.musicOn = false;
  }
  if (state_.musicOn) {
    HandleMessages();
    hooks_.writeCaption(state_.musicFile);
    OpenAndPlay();
  }
  state_.musicStarted = true;
}

void MusicPlayer::CheckMusic() {
  char mode[16];
  if (platform::mciSendStringA("status FILE mode", mode, sizeof mode, nullptr) != 0) return;
  HandleMessages();
  if (std::string_view(mode).substr(0, 7) == "playing") return;
  bool another = false;
  for (const std::string& file : state_.musicFiles) another = another || file != state_.musicFile;
  // Without a different file to draw, the drawing below would never end.
  if (state_.musicShuffle && another) {
    std::size_t index = 0;
    do {
      index = static_cast<std::size_t>(hooks_.random(state_.musicFileCount));
    } while (state_.musicFiles.at(index) == state_.musicFile);
    PlayMidiFile(state_.musicFiles[index]);
  } else {
    Send("seek FILE to 0");
    Send("play File");
  }
}

void MusicPlayer::ScanMidiFolder(const std::string& folder, std::vector<std::string>& list) {
  music::ScanMidiFolder(folder, list, [this] { HandleMessages(); });
}

void MusicPlayer::PlayMidiFile(const std::string& path) {
  HandleMessages();
  platform::mciExecute("Stop FILE");
  Send("close FILE");
  state_.musicFile = path;
  hooks_.writeCaption(state_.musicFile);
  OpenAndPlay();
}

void MusicPlayer::OpenAndPlay() {
  Send("open \"" + state_.musicFile + "\" alias FILE");
  Send("play FILE");
}

void MusicPlayer::HandleMessages() {
  if (hooks_.handleMessages) hooks_.handleMessages();
}

}  // namespace music
