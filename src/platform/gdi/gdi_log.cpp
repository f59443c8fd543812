#include "platform/gdi/gdi_log.h"

#include <cstdio>
#include <string>
#include <utility>

namespace platform::gdi {
namespace {

// Never destroyed, so a font freed by a static object at exit can still report.
GdiLogSink& Sink() {
  static GdiLogSink* const sink = new GdiLogSink;
  return *sink;
}

}  // namespace

void SetGdiLogSink(GdiLogSink sink) { Sink() = std::move(sink); }

void GdiLog(std::string_view message) {
  if (Sink()) {
    Sink()(message);
    return;
  }
  std::fprintf(stderr, "gdi: %.*s\n", static_cast<int>(message.size()), message.data());
}

}  // namespace platform::gdi
