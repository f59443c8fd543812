// gen-banner: draws the settings dialog's 465 x 74 banner: the title "ヴェルモランディ" in
// IPA Pゴシック between a leaf tile and the walker, a green caterpillar.
//
//   gen-banner OUT.png OUT.cpp
//
// OUT.cpp defines settings::BannerPng() over the PNG's bytes, so the library carries the
// picture without a resource system. The drawing uses only fixed shapes and one installed
// font, so one machine always writes the same bytes.
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
#include <QRadialGradient>
#include <cstdio>
#include <string>

namespace {

constexpr int kWidth = 465;
constexpr int kHeight = 74;

void DrawBackground(QPainter& painter) {
  QLinearGradient sky(0, 0, 0, kHeight);
  sky.setColorAt(0.0, QColor(0xFF, 0xFC, 0xE8));
  sky.setColorAt(1.0, QColor(0xE4, 0xF4, 0xD2));
  painter.fillRect(0, 0, kWidth, kHeight, sky);
  // The road the walker crawls along.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xC8, 0xA8, 0x78));
  painter.drawRect(0, 62, kWidth, 12);
  painter.setBrush(QColor(0xA8, 0x88, 0x58));
  for (int x = 6; x < kWidth; x += 22) painter.drawEllipse(QRectF(x, 66, 8, 3));
}

void DrawLeaf(QPainter& painter, QPointF centre, double length, double angleDegrees) {
  painter.save();
  painter.translate(centre);
  painter.rotate(angleDegrees);
  QPainterPath leaf;
  leaf.moveTo(-length / 2, 0);
  leaf.cubicTo(-length / 4, -length / 2.6, length / 4, -length / 2.6, length / 2, 0);
  leaf.cubicTo(length / 4, length / 2.6, -length / 4, length / 2.6, -length / 2, 0);
  QLinearGradient fill(0, -length / 3, 0, length / 3);
  fill.setColorAt(0.0, QColor(0x6C, 0xC0, 0x3C));
  fill.setColorAt(1.0, QColor(0x2E, 0x80, 0x1E));
  painter.setPen(QPen(QColor(0x1E, 0x5A, 0x12), 1.5));
  painter.setBrush(fill);
  painter.drawPath(leaf);
  // Midrib, stalk and side veins.
  painter.setPen(QPen(QColor(0xD8, 0xF0, 0xB0), 1.5));
  painter.drawLine(QPointF(-length / 2 - 6, 0), QPointF(length / 2 - 3, 0));
  painter.setPen(QPen(QColor(0xD8, 0xF0, 0xB0), 1.0));
  for (int i = -2; i <= 2; ++i) {
    const double x = i * length / 7;
    painter.drawLine(QPointF(x, 0), QPointF(x + length / 10, -length / 6));
    painter.drawLine(QPointF(x, 0), QPointF(x + length / 10, length / 6));
  }
  painter.restore();
}

void DrawCaterpillar(QPainter& painter, QPointF tail) {
  // Seven body rings rising and falling like a crawl, then the head.
  constexpr int kRings = 7;
  const double rise[kRings] = {0, 3, 7, 9, 7, 3, 0};
  painter.setPen(QPen(QColor(0x2A, 0x6A, 0x10), 1.2));
  for (int i = 0; i < kRings; ++i) {
    const QPointF c(tail.x() + i * 9.0, tail.y() - rise[i]);
    QRadialGradient body(c - QPointF(2, 3), 8);
    body.setColorAt(0.0, QColor(0xC8, 0xF0, 0x70));
    body.setColorAt(1.0, QColor(0x58, 0xB0, 0x20));
    painter.setBrush(body);
    painter.drawEllipse(c, 7.0, 7.0);
    painter.setBrush(QColor(0xF0, 0xA0, 0x20));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(c + QPointF(0, -3), 1.6, 1.6);
    painter.setPen(QPen(QColor(0x2A, 0x6A, 0x10), 1.2));
  }
  const QPointF head(tail.x() + kRings * 9.0 + 2, tail.y() - 4);
  painter.setBrush(QColor(0x78, 0xC8, 0x30));
  painter.drawEllipse(head, 9.0, 9.0);
  painter.setBrush(Qt::white);
  painter.setPen(QPen(Qt::black, 0.8));
  painter.drawEllipse(head + QPointF(3, -3), 3.0, 3.0);
  painter.setBrush(Qt::black);
  painter.drawEllipse(head + QPointF(4, -3), 1.4, 1.4);
  painter.setPen(QPen(QColor(0x80, 0x20, 0x10), 1.2));
  painter.drawArc(QRectF(head.x() + 1, head.y() + 1, 6, 4), 200 * 16, 140 * 16);
  painter.setPen(QPen(QColor(0x2A, 0x6A, 0x10), 1.2));
  painter.drawLine(head + QPointF(-1, -8), head + QPointF(-4, -15));
  painter.drawLine(head + QPointF(3, -8), head + QPointF(5, -15));
  painter.setBrush(QColor(0xF0, 0xA0, 0x20));
  painter.drawEllipse(head + QPointF(-4, -15), 1.8, 1.8);
  painter.drawEllipse(head + QPointF(5, -15), 1.8, 1.8);
}

void DrawTitle(QPainter& painter) {
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPixelSize(36);
  font.setBold(true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
  const QString title = QStringLiteral("ヴェルモランディ");
  QPainterPath path;
  path.addText(84, 46, font, title);
  painter.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(path);
  QLinearGradient fill(0, 14, 0, 48);
  fill.setColorAt(0.0, QColor(0x3A, 0x9A, 0x2A));
  fill.setColorAt(1.0, QColor(0x14, 0x5A, 0x10));
  painter.setPen(QPen(QColor(0x0E, 0x40, 0x0A), 1.0));
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
      "#include \"settings/dialogs/banner.h\"\n\n"
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
  if (!QFontDatabase::families().contains(QStringLiteral("IPAPGothic"))) {
    std::fprintf(stderr, "gen-banner: the font IPAPGothic is not installed\n");
    return 1;
  }

  QImage banner(kWidth, kHeight, QImage::Format_RGB32);
  {
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawBackground(painter);
    DrawLeaf(painter, QPointF(40, 34), 58, -28);
    DrawTitle(painter);
    DrawCaterpillar(painter, QPointF(372, 54));
    DrawLeaf(painter, QPointF(447, 22), 26, 40);
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
