// gen-banner: draws the settings dialog's banner at the size the dialog shows it, 254 x 43:
// the saver's own walker on its own leaf tile, on a strip of the saver's road, beside the
// title "ヴェルモランディ" in IPA Pゴシック.
//
//   gen-banner OUT.png OUT.cpp
//
// OUT.cpp defines settings::BannerPng() over the PNG's bytes, so the library carries the
// picture without a resource system. The sprites come from the same drawing code as the
// archive's pictures and are placed pixel for pixel; the text uses one installed font, so
// one machine always writes the same bytes.
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <string>

#include "sprites.h"

namespace {

constexpr int kWidth = 254;
constexpr int kHeight = 43;

// The sprite's opaque pixels as they are; the rest fully transparent.
QImage ToImage(const gendata::MaskedPicture& picture, int left, int top, int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int sx = left + x, sy = top + y;
      if (!picture.opaque[static_cast<std::size_t>(sy) * picture.colour.width() + sx]) continue;
      const gendata::Rgb& c = picture.colour.at(sx, sy);
      image.setPixel(x, y, qRgb(gendata::ToByte(c.r), gendata::ToByte(c.g), gendata::ToByte(c.b)));
    }
  return image;
}

// A leaf tile at (x, y), as the board draws it.
void DrawLeafTile(QPainter& painter, int x, int y) {
  using namespace gendata;
  painter.drawImage(x, y, ToImage(DrawLeaf(), 0, 0, kLeafWidth, kLeafHeight));
}

void DrawSprites(QPainter& painter) {
  using namespace gendata;
  // The top of the road: its grass verge and the sand below it.
  painter.drawImage(0, 0, ToImage(DrawRoad(), 0, 0, kWidth, kHeight));
  // The walker stands on its leaf as it does on the board: 2 pixels left and 4 up of it.
  constexpr int kLeafX = 5, kLeafY = 11;
  DrawLeafTile(painter, kLeafX, kLeafY);
  painter.drawImage(
      kLeafX - 2, kLeafY - 4,
      ToImage(DrawWalkerStrip(Facing::kRight), 0, 0, kWalkerFrameWidth, kWalkerFrameHeight));
}

// The next leaf the walker is heading for, with its character in red as the saver shows a
// destination: the character's 21-pixel box stands 9 pixels in and 4 down from the tile.
void DrawDestination(QPainter& painter) {
  constexpr int kLeafX = kWidth - gendata::kLeafWidth - 3, kLeafY = 11;
  DrawLeafTile(painter, kLeafX, kLeafY);
  QFont font(QStringLiteral("IPAPMincho"));
  font.setPixelSize(20);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(QColor(0xFF, 0x00, 0x30));
  painter.drawText(QRect(kLeafX + 9, kLeafY + 4, 21, 21), Qt::AlignCenter, QStringLiteral("熟"));
}

void DrawText(QPainter& painter, const QString& text, int pixelSize, QPointF baseline, QColor top,
              QColor bottom, qreal halo) {
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPixelSize(pixelSize);
  font.setBold(true);
  QPainterPath path;
  path.addText(baseline, font, text);
  painter.setPen(QPen(QColor(0xFF, 0xFF, 0xF4), halo, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(path);
  QLinearGradient fill(0, baseline.y() - pixelSize, 0, baseline.y());
  fill.setColorAt(0.0, top);
  fill.setColorAt(1.0, bottom);
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawPath(path);
}

bool WriteFile(const char* path, const QByteArray& bytes) {
  QFile file(QString::fromLocal8Bit(path));
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         file.write(bytes) == bytes.size() && file.flush();
}

QByteArray CppArray(const QByteArray& png) {
  QByteArray cpp =
      "// Drawn by tools/gen-banner; do not edit.\n"
      "#include \"settings/dialogs/linux/banner.h\"\n\n"
      "namespace settings {\nnamespace {\n\nconstexpr unsigned char kBanner[] = {";
  for (qsizetype i = 0; i < png.size(); ++i) {
    if (i % 16 == 0) cpp += "\n   ";
    cpp += " " + QByteArray::number(static_cast<unsigned char>(png[i])) + ",";
  }
  cpp +=
      "\n};\n\n}  // namespace\n\nstd::string_view BannerPng() {\n"
      "  return {reinterpret_cast<const char*>(kBanner), sizeof kBanner};\n}\n\n"
      "}  // namespace settings\n";
  return cpp;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: gen-banner OUT.png OUT.cpp\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  for (const char* family : {"IPAPGothic", "IPAPMincho"}) {
    if (!QFontDatabase::families().contains(QString::fromLatin1(family))) {
      std::fprintf(stderr, "gen-banner: the font %s is not installed\n", family);
      return 1;
    }
  }

  QImage banner(kWidth, kHeight, QImage::Format_RGB32);
  banner.fill(Qt::white);
  {
    QPainter painter(&banner);
    DrawSprites(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawDestination(painter);
    DrawText(painter, QStringLiteral("ヴェルモランディ"), 20, QPointF(56, 27),
             QColor(0x3A, 0x9A, 0x2A), QColor(0x14, 0x5A, 0x10), 4);
    DrawText(painter, QStringLiteral("四字熟語スクリーンセーバー"), 10, QPointF(58, 39),
             QColor(0x7A, 0x52, 0x2A), QColor(0x7A, 0x52, 0x2A), 2.5);
  }
  // 24-bit, like the bitmap the dialog has always carried.
  banner = banner.convertToFormat(QImage::Format_RGB888);

  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!banner.save(&buffer, "PNG")) {
    std::fprintf(stderr, "gen-banner: cannot encode the banner\n");
    return 1;
  }
  if (!WriteFile(argv[1], png) || !WriteFile(argv[2], CppArray(png))) {
    std::fprintf(stderr, "gen-banner: cannot write %s or %s\n", argv[1], argv[2]);
    return 1;
  }
  return 0;
}
