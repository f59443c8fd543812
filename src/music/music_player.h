// The background music: one MIDI file in a loop, or random files from a folder tree, on the
// media-control device "FILE". No thread of its own: the saver's tick calls ServiceMusic,
// which acts at most once a second.
//
// Life of a run: off (nothing configured, or nothing playable: stays off) or waiting (until
// the first service at least a second after ArmMusicService), then playing, and on each end
// of a piece either switching to another random file or looping the same one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/winmm/winmm_types.h"

namespace music {

// The caption while a folder waits for its first scan.
inline constexpr const char* kMusicPendingCaption = "BGM設定中...";

// The music mode the settings ask for. Random mode shows kMusicPendingCaption until the
// first service, even when its folder is empty (the first service then falls back to the
// file, and turns the music off without one).
enum class MusicMode { kSingle, kRandom };

// What the player needs from the saver window.
struct MusicHooks {
  // The saver's random(n): a uniform integer in 0 .. n - 1.
  std::function<int(int n)> random;
  // Writes the music caption: WriteText(music caption texture, text, panel writer), which
  // shortens a long text. `text` is UTF-8 (a path, or kMusicPendingCaption).
  std::function<void(const std::string& text)> writeCaption;
  // Handles pending window messages; input handlers may run here. Empty: nothing to do.
  std::function<void()> handleMessages;
};

// The player's state, as the frame composition and the tests read it.
struct MusicState {
  bool musicOn = false;                 // cleared for good when nothing can be played
  std::string musicFile;                // the chosen file; once started, the file playing
  std::string musicFolder;              // random mode's folder; empty in single mode
  std::vector<std::string> musicFiles;  // the MIDI files found under musicFolder
  int musicFileCount = 0;
  bool musicShuffle = false;           // a finished piece is followed by a different one
  bool musicStarted = false;           // the first service has run
  platform::DWORD musicCheckTime = 0;  // timeGetTime of the last service
};

class MusicPlayer {
 public:
  // Throws std::invalid_argument when `random` or `writeCaption` is empty.
  explicit MusicPlayer(MusicHooks hooks);

  // The music settings as the saver read them. A non-empty folder is played from (the
  // folder wins over the file); kRandom writes kMusicPendingCaption when the music is on.
  void Configure(bool musicOn, const std::string& musicFile, const std::string& musicFolder,
                 MusicMode mode);

  // End of the saver's start-up: the first service comes a second from now.
  void ArmMusicService();

  // One service when at least 1000 ms have passed since the last (the difference of
  // timeGetTime values, so the 32-bit wrap does not matter); otherwise nothing.
  void ServiceMusic();

  // The MIDI files under `folder`, appended to `list` (see midi_folder_scan.h).
  void ScanMidiFolder(const std::string& folder, std::vector<std::string>& list);

  // Stops and closes the device, then opens `path` on it and plays it.
  void PlayMidiFile(const std::string& path);

  const MusicState& State() const { return state_; }

 private:
  void StartMusic();
  void CheckMusic();
  void OpenAndPlay();
  void HandleMessages();

  MusicHooks hooks_;
  MusicState state_;
};

}  // namespace music
