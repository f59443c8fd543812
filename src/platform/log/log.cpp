#include "platform/log/log.h"

#include <cstdio>
#include <utility>

namespace platform {
namespace {

// Never destroyed, so an object freed by a static destructor at exit can still report.
LogSink& Sink() {
  static LogSink* const sink = new LogSink;
  return *sink;
}

}  // namespace

void SetLogSink(LogSink sink) { Sink() = std::move(sink); }

void Log(std::string_view message) {
  if (Sink()) {
    Sink()(message);
    return;
  }
  std::fprintf(stderr, "velmorandi: %.*s\n", static_cast<int>(message.size()), message.data());
}

}  // namespace platform
