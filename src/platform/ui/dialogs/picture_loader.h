// Pictures the dialogs show: BMP and JPEG files chosen by the user, and JPEG bytes built
// into the program.
#pragma once

#include <QImage>
#include <string>
#include <string_view>

namespace platform::ui {

// The decoded picture, or a null image when the file cannot be read or decoded.
QImage LoadPictureFile(const std::string& path);
// A null image when the bytes are not a decodable JPEG.
QImage DecodeJpegBytes(std::string_view bytes);

}  // namespace platform::ui
