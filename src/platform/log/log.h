// Where every platform layer reports what goes wrong below the program (a face that is not
// installed, a font file that cannot be opened, no audio device, a failed MCI command).
// The layers sit below the device layer's debug log, so they write to this one sink, and
// the program points it at that log when it starts.
#pragma once

#include <functional>
#include <string_view>

namespace platform {

using LogSink = std::function<void(std::string_view message)>;

// Replaces the sink; an empty sink restores the default, which writes to standard error.
void SetLogSink(LogSink sink);

// One line, without a line end.
void Log(std::string_view message);

}  // namespace platform
