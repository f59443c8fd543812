// Where the program's files live: the read-only data it ships with, and the files each user
// writes (settings, font style, own idiom list, debug log), which never go into the install.
// Every run mode takes its paths from here.
#pragma once

#include <functional>
#include <string>

namespace platform {

inline constexpr char kDataFolderName[] = "VelmorandiScrData";  // beside the executable
inline constexpr char kInstalledDataFolder[] = "share/velmorandi";
inline constexpr char kUserFolderName[] = "velmorandi";  // in each per-user base folder

inline constexpr char kSettingsFileName[] = "Settei.ini";
inline constexpr char kFontStyleFileName[] = "record.dat";
inline constexpr char kUserWordsFileName[] = "追加問題.txt";
inline constexpr char kReadMeFileName[] = "ReadMe.txt";
inline constexpr char kFontAliasFileName[] = "fonts.conf";
inline constexpr char kDebugLogFileName[] = "DGCarad_DebugLog.txt";

enum class UserFile { kSettings, kFontStyle, kUserWords };

// Every folder ends in "/".
struct AppPaths {
  std::string exeDir;
  std::string dataDir;      // the read-only data (archive, wallpapers, chime, templates)
  std::string legacyDir;    // exeDir + kDataFolderName: user files of an older installation
  std::string configDir;    // Settei.ini, record.dat
  std::string userDataDir;  // 追加問題.txt
  std::string dataHome;     // the per-user data base; the sibling savers' folders are in it
  std::string stateDir;     // the debug log

  std::string Data(const std::string& name) const { return dataDir + name; }
  std::string DebugLog() const { return stateDir + kDebugLogFileName; }

  // The copy of a user file to read: the user's own when it exists, else the one an older
  // installation left in the folder beside the executable, else the user's own path (which
  // then does not exist).
  std::string ReadPath(UserFile file) const;
  // The user's own copy, ready to be changed in place: its folder is made, and a user file
  // that exists only beside the executable is copied there first, so values the change
  // does not touch are kept. The user word list starts as the installed template. When
  // the folder cannot be made the path is returned anyway and the write reports it.
  std::string UpdatePath(UserFile file) const;
  // The user's own path, untouched.
  std::string UserPath(UserFile file) const;
};

// Looks up an environment variable; null when it is unset.
using EnvLookup = std::function<const char*(const char*)>;

// The paths for an executable in `exeDir`.
// Linux: the data folder is the first of exeDir/../share/velmorandi, exeDir/VelmorandiScrData
// and each $XDG_DATA_DIRS entry (default /usr/local/share:/usr/share) + "/velmorandi" that
// holds a data.qda; when none does, the folder beside the executable. The user folders
// follow $XDG_CONFIG_HOME, $XDG_DATA_HOME and $XDG_STATE_HOME, relative values ignored,
// defaulting below $HOME (or the password database's home folder when HOME is unset).
// Windows: the data folder is exeDir/VelmorandiScrData; the user's files go to
// %APPDATA%/Velmorandi, the log to %LOCALAPPDATA%/Velmorandi (relative values ignored; without
// them, the data folder); the sibling savers' folders stand beside the executable.
AppPaths FindAppPaths(const std::string& exeDir, const EnvLookup& env);

// Data and user files all in one folder, as a copied installation keeps them beside the
// executable; for tools and tests that are handed a folder.
AppPaths SingleFolderPaths(const std::string& folder);

// The paths of this process (from ExeDir() and the environment at first use).
const AppPaths& Paths();

// Makes a folder and its missing parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);

}  // namespace platform
