// Whether a folder tree holds a MIDI file, by the music player's scan rule: a file whose
// name's extension, from its last ".", is exactly ".mid" (case-sensitive), hidden entries
// included, the folder itself and every folder below it.
#pragma once

#include <string>

namespace settings {

// The search stops at the first such file. Each folder is entered once, so a tree whose
// symbolic links lead back into itself still ends.
bool FolderHasMidi(const std::string& folder);

// True for a name whose extension from the last "." is exactly ".mid".
bool IsMidiName(const std::string& name);

}  // namespace settings
