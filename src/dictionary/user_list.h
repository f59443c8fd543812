// The user's idiom list: 15 header lines, then groups of three lines (idiom, meaning,
// reading). These are the decoded-text halves of ReadUserIdioms and CountValidUserIdioms,
// kept apart from the file access so that both share one set of rules; the settings
// dialog's copies of the list split it by the same rule.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dictionary/dictionary.h"

namespace dictionary {

inline constexpr int kUserListHeaderLines = 15;

// Lines end at CR LF, a lone CR or a lone LF. A last line without a break counts; a break at
// the very end adds no empty line, so "" has no lines and "\n" has one empty line. The byte
// form keeps every line's bytes as they are, for a list whose encoding does not matter.
std::vector<std::u16string_view> SplitLines(std::u16string_view text);
std::vector<std::string_view> SplitLines(std::string_view bytes);

// The valid groups of a decoded list, in file order. A group is valid when its idiom is
// four UTF-16 units, its meaning and reading are not left out, and all three convert to
// CP932 without loss: the text writers draw CP932, and a character outside it (an emoji,
// Hangul, a byte that did not decode) would show as "?".
std::vector<IdiomEntry> ParseUserIdioms(std::u16string_view text);

// ParseUserIdioms(text).size(), without building the entries.
int CountValidUserGroups(std::u16string_view text);

}  // namespace dictionary
