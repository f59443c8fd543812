// The user's idiom list: 15 header lines, then groups of three lines (idiom, meaning,
// reading). These are the byte halves of ReadUserIdioms and CountValidUserIdioms, kept apart
// from the file access so that both share one set of rules; the settings dialog's copies of
// the list split it by the same rule.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dictionary/dictionary.h"

namespace dictionary {

inline constexpr int kUserListHeaderLines = 15;

// Lines end at CR LF, a lone CR or a lone LF. A last line without a break counts; a break at
// the very end adds no empty line, so "" has no lines and "\n" has one empty line. The lines
// keep their bytes as they are, for a list whose encoding does not matter.
std::vector<std::string_view> SplitLines(std::string_view bytes);

// The valid groups of a list's bytes, in file order. The lines are split on the bytes (CR
// and LF stand inside no character of either encoding), and each line of a group is decoded
// by itself by the text file rule of platform/text.h, so no more than one group is ever held
// decoded. A group is valid when its idiom is four UTF-16 units, its meaning and reading are
// not left out, and all three convert to CP932 without loss: the text writers draw CP932,
// and a character outside it (an emoji, Hangul, a byte that did not decode) would show as
// "?".
UserIdioms ParseUserIdioms(std::string_view bytes);

// ParseUserIdioms(bytes).Count(), without keeping the entries.
int CountValidUserGroups(std::string_view bytes);

}  // namespace dictionary
