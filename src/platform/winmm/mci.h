// Media-control devices for MIDI files, driven by command strings in UTF-8, paths with "/"
// between names. On Linux the commands of mci_command.h, played by the mixer; on Windows
// the system's own media control interface. Playback runs by itself; the caller polls
// "status <name> mode", which answers "playing" while the piece plays and "stopped" once
// it has ended, been stopped or rewound.
//
// A failing command returns its MCIERR_* code and changes nothing: no device opened or
// closed, no playback started or stopped.
#pragma once

#include <string>

#include "platform/winmm/winmm_types.h"

namespace platform {

// Runs `command`. When `returnString` is not null it receives the answer in UTF-8 ("playing"
// or "stopped" for status, "" otherwise) NUL-ended within `returnLength` bytes; an answer that
// does not fit gives MCIERR_PARAM_OVERFLOW and "" (nothing past `returnLength` is ever
// written). `callback` (a window for completion notices) is not used: no command here
// notifies.
//
// A play starts the piece from its position: the start after open or seek, the point
// where it was stopped after stop. A piece that has played to its end stays there: play
// plays nothing until a seek rewinds it. Only one device sounds at a time: a play takes
// the music away from any other device, which then reports "stopped".
MCIERROR mciSendStringA(const char* command, char* returnString, UINT returnLength, void* callback);

// mciSendStringA without an answer. A failure is reported on one line on standard error
// and in the debug log (never in a window); returns 1 on success, 0 on failure.
BOOL mciExecute(const char* command);

// A one-line text for an MCIERR_* code, or for 0 (the system's own on Windows, in UTF-8); cut
// to fit like mciSendStringA's answer. Returns 0 when `code` is unknown (the buffer then says
// so).
BOOL mciGetErrorStringA(MCIERROR code, char* text, UINT length);

// The name of an MCIERR_* code ("MCIERR_INVALID_DEVICE_NAME"), or its number as text.
std::string MciErrorName(MCIERROR code);

}  // namespace platform
