// The settings dialog's banner, a 465 x 74 PNG drawn at build time by gen-banner.
#pragma once

#include <string_view>

namespace settings {

std::string_view BannerPng();

}  // namespace settings
