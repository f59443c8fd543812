#include "settings/dialogs/user_words_export.h"

#include <algorithm>

#include "dictionary/user_list.h"
#include "platform/fs/fs.h"

namespace settings {

std::string SiblingCopy(std::string_view userList, Sibling sibling) {
  const std::vector<std::string_view> lines = dictionary::SplitLines(userList);
  constexpr auto kHeaderLines = static_cast<std::size_t>(dictionary::kUserListHeaderLines);
  const std::size_t first = sibling == Sibling::kQuarnel ? std::min(kHeaderLines, lines.size()) : 0;
  std::string copy;
  for (std::size_t i = first; i < lines.size(); ++i) {
    copy.append(lines[i]);
    copy.append("\r\n");
  }
  return copy;
}

bool ExportUserWords(const platform::AppPaths& paths, Sibling sibling) {
  const auto list = platform::ReadWholeFile(paths.ReadPath(platform::UserFile::kUserWords));
  if (!list) return false;
  platform::MakeDirectories(paths.dataHome + InfoOf(sibling).dataFolder);
  return platform::WriteWholeFileAtomic(SiblingWordsPath(paths, sibling),
                                        SiblingCopy(*list, sibling));
}

}  // namespace settings
