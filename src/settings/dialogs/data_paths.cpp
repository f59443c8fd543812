#include "settings/dialogs/data_paths.h"

#include "platform/fs/fs.h"

namespace settings {
namespace {

const SiblingInfo kQuarnel = {"クァーネルセーバー.scr", "QuarnelData/", "jukugo.txt", "Quarnel",
                              "「クァーネルセーバー」へも四文字言葉を追加しますか？\n"
                              "「クァーネルセーバー」へ以前に追加された言葉は破棄されます。"};
const SiblingInfo kBrisolt = {"ブリゾルトセーバー.scr", "BrisoltScrData/", "追加問題.txt",
                              "Brisolt",
                              "「ブリゾルトセーバー」へも四文字言葉を追加しますか？\n"
                              "「ブリゾルトセーバー」へ以前に追加された言葉は破棄されます。"};

}  // namespace

const SiblingInfo& InfoOf(Sibling sibling) {
  return sibling == Sibling::kQuarnel ? kQuarnel : kBrisolt;
}

bool SiblingPresent(const platform::AppPaths& paths, Sibling sibling) {
  const SiblingInfo& info = InfoOf(sibling);
  return platform::FileExists(paths.exeDir + info.executable) &&
         (platform::DirectoryExists(paths.exeDir + info.dataFolder) ||
          platform::DirectoryExists(paths.dataHome + info.dataFolder));
}

std::string SiblingWordsPath(const platform::AppPaths& paths, Sibling sibling) {
  const SiblingInfo& info = InfoOf(sibling);
  return paths.dataHome + info.dataFolder + info.wordsFile;
}

}  // namespace settings
