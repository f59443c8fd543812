#include "sprites.h"

namespace gendata {
namespace {
std::vector<std::uint8_t> Keyed(const MaskedPicture& picture, const std::uint8_t key[3],
                                const std::uint8_t nudge[3]) {
  std::vector<std::uint8_t> bytes = ToRgbBytes(picture.colour);
  for (std::size_t i = 0; i < picture.opaque.size(); ++i) {
    std::uint8_t* p = &bytes[3 * i];
    const bool isKey = p[0] == key[0] && p[1] == key[1] && p[2] == key[2];
    const std::uint8_t* replacement = picture.opaque[i] ? (isKey ? nudge : nullptr) : key;
    if (replacement) p[0] = replacement[0], p[1] = replacement[1], p[2] = replacement[2];
  }
  return bytes;
}
}  // namespace

std::vector<std::uint8_t> BlackKeyed(const MaskedPicture& picture) {
  static const std::uint8_t key[3] = {0, 0, 0}, nudge[3] = {1, 1, 1};
  return Keyed(picture, key, nudge);
}

std::vector<std::uint8_t> GreenKeyed(const MaskedPicture& picture) {
  static const std::uint8_t key[3] = {0, 255, 0}, nudge[3] = {0, 254, 0};
  return Keyed(picture, key, nudge);
}

}  // namespace gendata
