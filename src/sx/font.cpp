#include "sx/font.h"

#include "platform/gdi/gdi.h"

namespace sx {

// -Height x 72 / 96, rounded half away from zero as the inverse of the point conversion.
std::int32_t TSXFont::Size() const {
  const std::int64_t scaled = -static_cast<std::int64_t>(Height) * 72;
  return static_cast<std::int32_t>(scaled >= 0 ? (scaled + 48) / 96 : (scaled - 48) / 96);
}

void TSXFont::SetSize(std::int32_t points) {
  Height = -platform::gdi::CharacterHeightFromPoints(points);
}

}  // namespace sx
