// Pictures the dialogs show: BMP and JPEG files chosen by the user, and JPEG bytes built
// into the program. JPEG goes through the same libjpeg decoder as the saver's wallpapers,
// so a picture the preview shows is one the saver can show. BMP goes through Qt: the
// device layer's bitmap decoder writes only into texture memory and reports through the
// saver's debug log, neither of which a dialog has.
#pragma once

#include <QImage>
#include <string>
#include <string_view>

#include "jpeg/jpeg.h"

namespace platform::ui {

// The decoded picture, or a null image when the file cannot be read or decoded. A JPEG
// larger than the saver's 640 x 480 frame comes out scaled down as the saver decodes it.
QImage LoadPictureFile(const std::string& path);
// A null image when the bytes are not a decodable JPEG; `shown` as for jpeg::DecodeJpeg.
QImage DecodeJpegBytes(std::string_view bytes, jpeg::ShownSize shown = {});
// The decoder's picture as an opaque QImage; a null image for an inconsistent one.
QImage ImageFromJpegPixels(const jpeg::Image& picture);

}  // namespace platform::ui
