// The playing time of a Standard MIDI File, from its tempo map and its longest track.
//
// The synthesiser reports a piece as finished only some seconds after its last event (it
// lets the voices ring out), while a sequencer device is expected to report "stopped" at
// the end of the piece; the device measures the end with this instead.
#pragma once

#include <optional>
#include <string_view>

namespace platform {

// Milliseconds from the start to the last event (an end-of-track event counts) of the
// longest track, with every tempo change of every track applied (500000 us per quarter
// note until the first one). Nothing when the bytes are not a well-formed MIDI file: a
// wrong header, a chunk or an event running past the end, running status with no status
// before it, or a system message that files cannot hold.
std::optional<double> MidiDurationMs(std::string_view file);

}  // namespace platform
