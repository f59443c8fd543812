#include "dictionary/user_idioms.h"

#include <limits>

#include "platform/text/text.h"

namespace dictionary {
namespace {

// The shortest valid group, "abcd", "x" and "y" with two line breaks.
constexpr std::size_t kShortestGroupBytes = 8;

}  // namespace

void UserIdioms::Reserve(std::size_t fileBytes) {
  // Only what is written takes memory; the rest of the room is address space.
  texts_.reserve(fileBytes);
  starts_.reserve(fileBytes / kShortestGroupBytes + 1);
}

void UserIdioms::Add(std::string_view idiom, std::string_view reading, std::string_view meaning) {
  const std::size_t size = idiom.size() + reading.size() + meaning.size() + 2;
  // Places are 32-bit: a list that would need more keeps the entries that fit.
  if (texts_.size() + size > std::numeric_limits<std::uint32_t>::max()) return;
  starts_.push_back(static_cast<std::uint32_t>(texts_.size()));
  texts_.append(idiom);
  texts_ += '\n';
  texts_.append(reading);
  texts_ += '\n';
  texts_.append(meaning);
}

std::string_view UserIdioms::Text(int k, int part) const {
  const auto index = static_cast<std::size_t>(k);
  const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : texts_.size();
  std::string_view entry = std::string_view(texts_).substr(starts_[index], end - starts_[index]);
  for (int skipped = 0; skipped < part; ++skipped) entry.remove_prefix(entry.find('\n') + 1);
  return part < 2 ? entry.substr(0, entry.find('\n')) : entry;
}

std::u16string UserIdioms::Idiom(int k) const { return platform::AnsiToUtf16(Text(k, 0)); }
std::u16string UserIdioms::Reading(int k) const { return platform::AnsiToUtf16(Text(k, 1)); }
std::u16string UserIdioms::Meaning(int k) const { return platform::AnsiToUtf16(Text(k, 2)); }

}  // namespace dictionary
