// The two sibling savers: their executables beside ours, and the word lists we export to
// them.
#pragma once

#include <string>

#include "platform/fs/app_paths.h"

namespace settings {

enum class Sibling { kQuarnel, kBrisolt };

struct SiblingInfo {
  const char* executable;   // in exeDir
  const char* dataFolder;   // in exeDir, and in the per-user data base; with "/"
  const char* wordsFile;    // in dataFolder
  const char* settingsKey;  // in TuikaJukugo
  const char* confirmation;
};

const SiblingInfo& InfoOf(Sibling sibling);

// Its executable and its data folder (beside it, or the user's own) both exist.
bool SiblingPresent(const platform::AppPaths& paths, Sibling sibling);

// Where our user list is exported for the sibling: in the user's own folder of that saver.
std::string SiblingWordsPath(const platform::AppPaths& paths, Sibling sibling);

}  // namespace settings
