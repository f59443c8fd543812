// The MIDI files of a folder tree, found depth first in the file system's order.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace music {

// Appends to `list` every file under `folder` whose name ends in ".mid" exactly (".MID"
// and ".Mid" are not taken), as folder + "/" + name. A subfolder's files are appended at
// the point of the enumeration where the subfolder was met. `handleMessages` runs once
// before each folder is read, so a long scan keeps the window responsive.
//
// A folder reached a second time (through a link to it, or a link to one of its ancestors)
// is not read again, so a looping tree is scanned once and the scan ends.
void ScanMidiFolder(const std::string& folder, std::vector<std::string>& list,
                    const std::function<void()>& handleMessages);

}  // namespace music
