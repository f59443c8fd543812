// The device layer's debug log, "DGCarad_DebugLog.txt" in the user's state folder, and the check
// every Direct3D result passes through.
//
// One line per call, "#NNNNN | " + two spaces per LogIndent level + message, ended by CR LF,
// in the system's text file encoding (platform::EncodeTextFile). The first line of a run
// truncates the previous run's file. The file is opened and closed for every line, so a halt
// or a crash loses nothing already logged.
//
// User-interface thread only: the state below is unsynchronised.
#pragma once

#include <cstdint>
#include <functional>
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

// DebugLog, and the reason kept for the next failure's HaltReport: what a caller knows of a
// failure that it reports with code 1 (the archive reader's or the file system's message).
void NoteFailureCause(std::string_view cause);

// What a halting CheckResult knows when it ends the program.
struct HaltReport {
  std::string message;   // the caller's message
  std::string codeName;  // D3DResultName of the code
  std::string cause;     // the last NoteFailureCause since the previous failure, or ""
  std::string logPath;   // the log that holds the line; "" when it could not be written
};
// Called by a halting CheckResult after the line is logged and the notice is on stderr,
// before the process ends; an empty handler (the default) shows nothing more. The handler
// runs in the middle of the failed call: it may show the user why, but the process ends when
// it returns.
using HaltNotice = std::function<void(const HaltReport&)>;
void SetHaltNotice(HaltNotice notice);

// Returns `code`. Any non-zero code (reference counts included) is a failure: the message
// followed by "(Error Code = <D3DResultName(code)>)" is logged, and with HaltOnError the
// process exits with kHaltExitCode once the line is on disk. Failures without a Direct3D
// result are reported with code 1.
std::int32_t CheckResult(std::int32_t code, std::string_view message);

}  // namespace dg
