#include "platform/ui/dialogs/linux/font_faces.h"

#include <QFontDatabase>
#include <QRawFont>
#include <QStringList>
#include <algorithm>

#include "platform/ui/dialogs/dialog_services.h"

namespace platform::ui {
namespace {

// The characters the glyph layer looks for before it accepts a face as Japanese: a common
// kanji and a hiragana.
constexpr char16_t kProbeKanji = u'四';
constexpr char16_t kProbeHiragana = u'あ';

bool DrawsJapanese(const QString& family) {
  const QRawFont raw = QRawFont::fromFont(QFont(family));
  return raw.isValid() && raw.familyName() == family && raw.supportsCharacter(kProbeKanji) &&
         raw.supportsCharacter(kProbeHiragana);
}

}  // namespace

QString ConcreteFamily(const std::string& face) {
  if (face == kFaceMsPMincho) return QStringLiteral("IPAPMincho");
  if (face == kFaceMsPGothic) return QStringLiteral("IPAPGothic");
  return QString::fromStdString(face);
}

std::vector<std::string> JapaneseFaces() {
  std::vector<std::string> faces;
  for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
    // Qt tells same-named families of two foundries apart as "Name [foundry]", a name
    // that no font carries.
    if (family.contains(QLatin1Char('[')) || !DrawsJapanese(family)) continue;
    faces.push_back(family.toStdString());
  }
  std::sort(faces.begin(), faces.end());
  return faces;
}

QFont MakeFont(const std::string& face, int pixelSize, std::uint8_t styleBits) {
  QFont font(ConcreteFamily(face));
  font.setPixelSize(pixelSize);
  font.setBold((styleBits & kFontBold) != 0);
  font.setItalic((styleBits & kFontItalic) != 0);
  font.setUnderline((styleBits & kFontUnderline) != 0);
  font.setStrikeOut((styleBits & kFontStrikeOut) != 0);
  return font;
}

std::uint8_t StyleBitsOf(const QFont& font) {
  std::uint8_t bits = 0;
  if (font.bold()) bits |= kFontBold;
  if (font.italic()) bits |= kFontItalic;
  if (font.underline()) bits |= kFontUnderline;
  if (font.strikeOut()) bits |= kFontStrikeOut;
  return bits;
}

}  // namespace platform::ui
