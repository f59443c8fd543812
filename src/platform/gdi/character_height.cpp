#include "platform/gdi/gdi.h"

namespace platform::gdi {

LONG CharacterHeightFromPoints(LONG points) {
  const long long scaled = static_cast<long long>(points) * 96;
  // Half away from zero, as MulDiv rounds.
  const long long pixels = scaled >= 0 ? (scaled + 36) / 72 : -((-scaled + 36) / 72);
  return static_cast<LONG>(pixels);
}

}  // namespace platform::gdi
