#include "settings/dialogs/user_words_export.h"

#include "platform/fs/fs.h"

namespace settings {
namespace {

constexpr std::size_t kHeaderLines = 15;

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      lines.push_back(bytes.substr(start, i - start));
      i += (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

std::string SiblingCopy(std::string_view userList, Sibling sibling) {
  const std::vector<std::string_view> lines = SplitLines(userList);
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
