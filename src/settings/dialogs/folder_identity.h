// Which folder a path names, whatever way leads to it: the MIDI search enters each folder
// once, so a tree whose links lead back into itself still ends.
#pragma once

#include <optional>
#include <string>

namespace settings {

// Equal for two paths of the same folder; nothing when the folder cannot be reached.
std::optional<std::string> FolderIdentity(const std::string& folder);

}  // namespace settings
