// Files of the data folder and of the two sibling savers, relative to exeDir (which ends
// in "/").
#pragma once

#include <string>

namespace settings {

inline constexpr const char* kDataFolder = "VelmorandiScrData/";
inline constexpr const char* kSetteiIni = "Settei.ini";
inline constexpr const char* kRecordDat = "record.dat";
inline constexpr const char* kUserWordsFile = "追加問題.txt";
inline constexpr const char* kReadMeFile = "ReadMe.txt";

inline std::string DataPath(const std::string& exeDir, const std::string& name) {
  return exeDir + kDataFolder + name;
}

enum class Sibling { kQuarnel, kBrisolt };

struct SiblingInfo {
  const char* executable;   // in exeDir
  const char* dataFolder;   // in exeDir, with "/"
  const char* wordsFile;    // in dataFolder
  const char* settingsKey;  // in TuikaJukugo
  const char* confirmation;
};

const SiblingInfo& InfoOf(Sibling sibling);

// Its executable and its data folder both exist.
bool SiblingPresent(const std::string& exeDir, Sibling sibling);

}  // namespace settings
