// Font face names as the settings store keeps them, and the concrete faces behind them.
//
// The stored names are the Windows face names of the data files ("ＭＳ Ｐ明朝", "ＭＳ Ｐゴシック")
// or names of installed fonts. The two Windows names stand for IPA P明朝 and IPA Pゴシック
// through the fontconfig alias file of the data folder; Qt does not read that file, so the
// mapping is repeated here.
#pragma once

#include <QFont>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/dialogs/dialog_services.h"

namespace platform::ui {

// The installed family that draws `face`: the alias target for the two Windows names,
// otherwise `face` itself.
QString ConcreteFamily(const std::string& face);

// The installed families that draw Japanese, sorted, under the names both Qt and the
// saver's glyph layer know them by: the faces a user may choose for the saver's texts.
std::vector<std::string> JapaneseFaces();

// A font of `face` with the character height `pixelSize` and the record.dat style bits.
QFont MakeFont(const std::string& face, int pixelSize, std::uint8_t styleBits);
std::uint8_t StyleBitsOf(const QFont& font);

}  // namespace platform::ui
