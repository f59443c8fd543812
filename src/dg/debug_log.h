// The device layer's debug log, "DGCarad_DebugLog.txt" in the user's state folder, and the check
// every Direct3D result passes through.
//
// One line per call, "#NNNNN | " + two spaces per LogIndent level + message, ended by CR LF,
// in UTF-8. The first line of a run truncates the previous run's file. The file is opened
// and closed for every line, so a halt or a crash loses nothing already logged.
//
// User-interface thread only: the state below is unsynchronised.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dg {

// Process-wide state, shared by every device wrapper.
extern bool HaltOnError;           // CheckResult ends the program after logging a failure
extern bool DebugMessage;          // DebugLog writes at all
extern bool DetailedLog;           // DetailLog passes its lines on
extern std::int32_t LogIndent;     // nesting level of the lines written now
extern std::int32_t LogLineCount;  // lines written in this run; 0 makes the next one truncate

// Exit status of a halt by CheckResult.
inline constexpr int kHaltExitCode = 1;

// The log file; an empty path restores the default (platform::Paths().DebugLog()).
void SetDebugLogPath(std::string path);
std::string DebugLogPath();

// Writes one line when DebugMessage is set. A file that cannot be written is reported on
// stderr once per path and the line is dropped; the program goes on.
void DebugLog(std::string_view message);

// DebugLog, when DetailedLog is set: the layer's progress lines.
void DetailLog(std::string_view message);

// Returns `code`. Any non-zero code (reference counts included) is a failure: the message
// followed by "(Error Code = <D3DResultName(code)>)" is logged, and with HaltOnError the
// process exits with kHaltExitCode once the line is on disk. Failures without a Direct3D
// result are reported with code 1.
std::int32_t CheckResult(std::int32_t code, std::string_view message);

}  // namespace dg
