// Copies of the user word list for the two sibling savers.
#pragma once

#include <string>
#include <string_view>

#include "settings/dialogs/data_paths.h"

namespace settings {

// The sibling's copy of `userList` (its bytes, split into lines as the dictionary splits
// them): the first sibling gets everything after the 15 header lines, the second every
// line; each line is followed by CR LF.
std::string SiblingCopy(std::string_view userList, Sibling sibling);

// Replaces the sibling's word file with the copy of the user's list (its folder is made). False
// (and the target untouched) when the list cannot be read or the target cannot be written.
bool ExportUserWords(const platform::AppPaths& paths, Sibling sibling);

}  // namespace settings
