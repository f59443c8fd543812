// Paths in the dialog's labels: a path of more than 32 UTF-16 characters is shown as its
// first 10 characters, "..." and its last 20, which keeps the drive or top folder and the
// file name readable in a 215 pixel label.
#pragma once

#include <string>

namespace settings {

// UTF-8 in and out, the path written as the system's users write it; the characters are
// counted as UTF-16 code units.
std::string ShortenPath(const std::string& path);

}  // namespace settings
