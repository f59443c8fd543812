// The user's idiom list: 15 header lines, then groups of three lines (idiom, meaning,
// reading). These are the decoded-text halves of ReadUserIdioms and CountValidUserIdioms,
// kept apart from the file access so that both share one set of rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dictionary/dictionary.h"

namespace dictionary {

inline constexpr int kUserListHeaderLines = 15;

// Lines end at CR LF, a lone CR or a lone LF. A last line without a break counts; a break at
// the very end adds no empty line, so "" has no lines and "\n" has one empty line.
std::vector<std::u16string_view> SplitLines(std::u16string_view text);

// The valid groups of a decoded list, in file order.
std::vector<IdiomEntry> ParseUserIdioms(std::u16string_view text);

// ParseUserIdioms(text).size(), without building the entries.
int CountValidUserGroups(std::u16string_view text);

}  // namespace dictionary
