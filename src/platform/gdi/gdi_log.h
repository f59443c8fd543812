// Where the glyph layer reports problems (a face that is not installed, a font file that
// cannot be opened). The layer sits below the device layer and its debug log, so it takes
// a sink instead of calling the log itself: the program installs the debug log's DebugLog
// here before it makes its first font, so a missing face shows up in that log.
#pragma once

#include <functional>
#include <string_view>

namespace platform::gdi {

using GdiLogSink = std::function<void(std::string_view message)>;

// Replaces the sink; an empty sink restores the default, which writes to standard error.
void SetGdiLogSink(GdiLogSink sink);

// One line, without a line end.
void GdiLog(std::string_view message);

}  // namespace platform::gdi
