#include "dg/debug_log.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "dg/result_names.h"
#include "platform/fs/app_paths.h"
#include "platform/fs/fs.h"
#include "platform/text/text.h"

namespace dg {

bool HaltOnError = true;
bool DebugMessage = true;
bool DetailedLog = true;
std::int32_t LogIndent = 0;
std::int32_t LogLineCount = 0;

namespace {

// A runaway LogIndent must not turn one line into gigabytes of spaces.
constexpr std::int32_t kMaxIndentLevel = 100;

std::string& OverridePath() {
  static std::string path;
  return path;
}

HaltNotice& Notice() {
  static HaltNotice notice;
  return notice;
}

std::string& Cause() {
  static std::string cause;
  return cause;
}

bool& FailureReported() {
  static bool reported = false;
  return reported;
}

void ReportFailure(const std::string& path, const std::string& reason) {
  if (FailureReported()) return;
  FailureReported() = true;
  std::fprintf(stderr, "velmorandi: the debug log %s cannot be written (%s)\n", path.c_str(),
               reason.c_str());
}

}  // namespace

void SetDebugLogPath(std::string path) {
  OverridePath() = std::move(path);
  FailureReported() = false;
}

std::string DebugLogPath() {
  return OverridePath().empty() ? platform::Paths().DebugLog() : OverridePath();
}

void DebugLog(std::string_view message) {
  if (!DebugMessage) return;
  const std::string path = DebugLogPath();
  const std::int32_t number = LogLineCount + 1;
  const std::int32_t level = std::clamp(LogIndent, 0, kMaxIndentLevel);

  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "#%.5d | ", static_cast<int>(number));
  std::string line = prefix;
  line.append(static_cast<std::size_t>(level) * 2, ' ');
  line += message;
  line += "\r\n";

  if (LogLineCount == 0 && OverridePath().empty())
    platform::MakeDirectories(platform::Paths().stateDir);
  const std::string error = platform::WriteFileInPlace(
      path, platform::EncodeTextFile(line),
      LogLineCount == 0 ? platform::InPlaceWrite::kReplace : platform::InPlaceWrite::kAppend);
  if (!error.empty()) {
    ReportFailure(path, error);
    return;
  }
  // Only lines that reached the file count, so a run whose first line failed still starts
  // its file anew once the file can be written.
  LogLineCount = number;
}

void DetailLog(std::string_view message) {
  if (DetailedLog) DebugLog(message);
}

void NoteFailureCause(std::string_view cause) {
  Cause() = cause;
  DebugLog(cause);
}

void SetHaltNotice(HaltNotice notice) { Notice() = std::move(notice); }

std::int32_t CheckResult(std::int32_t code, std::string_view message) {
  if (code == 0) return code;
  const std::string name = D3DResultName(code);
  const std::string line = std::string(message) + "(Error Code = " + name + ")";
  const std::int32_t linesBefore = LogLineCount;
  DebugLog(line);
  // A cause belongs to the failure it was noted for, halting or not.
  const std::string cause = std::exchange(Cause(), std::string());
  if (HaltOnError) {
    const std::string logPath = LogLineCount > linesBefore ? DebugLogPath() : std::string();
    // Whoever started the program sees it end, and why, not only the log's reader.
    std::string notice = "velmorandi: 次のエラーで終了しました: " + line;
    if (!logPath.empty()) notice += "（記録: " + platform::DisplayPath(logPath) + "）";
    std::fprintf(stderr, "%s\n", notice.c_str());
    std::fflush(stderr);
    if (Notice()) Notice()(HaltReport{std::string(message), name, cause, logPath});
    std::exit(kHaltExitCode);
  }
  return code;
}

}  // namespace dg
