#include "platform/ui/dialogs/font_faces.h"

#include <QFontDatabase>
#include <QStringList>

#include "platform/ui/dialogs/dialog_services.h"

namespace platform::ui {

QString ConcreteFamily(const std::string& face) {
  if (face == kFaceMsPMincho) return QStringLiteral("IPAPMincho");
  if (face == kFaceMsPGothic) return QStringLiteral("IPAPGothic");
  return QString::fromStdString(face);
}

bool IsScreenFontInstalled(const std::string& face) {
  if (face.empty()) return false;
  return QFontDatabase::families().contains(ConcreteFamily(face), Qt::CaseSensitive);
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
