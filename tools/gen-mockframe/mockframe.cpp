// vm-gen-mockframe SPRITEDIR WALLPAPER.jpg OUT.png [WALKERFRAME]
//
// Composes one saver frame from the generated pictures, the way the saver layers them
// (wallpaper, road, 9 x 9 leaves, meaning panel, characters, answer row, walker, reading,
// music caption), with the characters set in IPA P Mincho. For looking at the data only.
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <vector>

#include "jpeg/jpeg.h"

namespace {

// Black keyed out, as the saver's archive loader does; with `green` also (0, 255, 0),
// after which black is opaque again.
QImage Keyed(const QString& path, bool green) {
  QImage img(path);
  img = img.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < img.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = row[x] & 0xFFFFFF;
      const bool clear = green ? p == 0x00FF00 : p == 0;
      row[x] = clear ? 0 : (row[x] | 0xFF000000u);
    }
  }
  return img;
}

QImage Wallpaper(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = f.readAll();
  const auto result = jpeg::DecodeJpeg({reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                        static_cast<std::size_t>(bytes.size())});
  if (!result.ok()) return {};
  QImage img(result.image.width, result.image.height, QImage::Format_RGB32);
  for (int y = 0; y < img.height(); ++y)
    std::copy_n(result.image.pixels.data() + static_cast<std::size_t>(y) * img.width(), img.width(),
                reinterpret_cast<QRgb*>(img.scanLine(y)));
  return img;
}

void Panel(QPainter& p, const QFont& font, int x, int y, const QString& text, QColor bg,
           QColor fg) {
  p.setFont(font);
  const QFontMetrics m(font);
  const QRect box(x, y, m.horizontalAdvance(text), m.height());
  p.fillRect(box, bg);
  p.setPen(fg);
  p.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: vm-gen-mockframe SPRITEDIR WALLPAPER.jpg OUT.png [WALKERFRAME]\n");
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]) + "/";
  const int walkerFrame = argc > 4 ? std::atoi(argv[4]) : 2;
  const QImage road = Keyed(dir + "road.bmp", false);
  const QImage leaf = Keyed(dir + "Leaf.bmp", false);
  const QImage walker = Keyed(dir + "velmorandi_0.bmp", true);
  const QImage wallpaper = Wallpaper(QString::fromLocal8Bit(argv[2]));
  if (road.isNull() || leaf.isNull() || walker.isNull() || wallpaper.isNull()) {
    std::fprintf(stderr, "vm-gen-mockframe: a picture is missing or unreadable\n");
    return 1;
  }

  QImage frame(640, 480, QImage::Format_RGB32);
  QPainter p(&frame);
  p.drawImage(QRect(0, 0, 640, 480), wallpaper);
  p.drawImage(0, 0, road);

  const int lw = leaf.width(), lh = leaf.height();
  auto cellX = [&](int c) { return (lw + 10) * c + 73; };
  auto cellY = [&](int r) { return (lh + 6) * r + 129; };
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) p.drawImage(cellX(c), cellY(r), leaf);

  QFont panelFont("IPAPMincho");
  panelFont.setPixelSize(19);
  Panel(p, panelFont, 20, 65, QString::fromUtf8("一つのことをして二つの利益を得ること"),
        QColor(255, 255, 255, 0x60), QColor(0, 0, 255));

  const QString chars = QString::fromUtf8(
      "挙措進退気宇壮大半死半生千紫万紅剛毅木訥一心不乱海千山千同床異夢付和雷同縦横無尽勢力伯仲浅学"
      "非才奇想天外月下氷人"
      "行雲流水全知全能人面獣心羊頭狗肉阿鼻叫喚急転直下牛飲馬食人跡未踏順風満帆五里霧中三拝九拝巧言"
      "令色沈思黙考清廉潔白");
  QFont cellFont("IPAPMincho");
  cellFont.setPixelSize(21);
  cellFont.setBold(true);
  p.setFont(cellFont);
  const int holeR = 4, holeC = 3, targetR = 4, targetC = 5;
  int k = 0;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      if (r == holeR && c == holeC) continue;
      p.setPen(r == targetR && c == targetC ? QColor(255, 0, 48) : QColor(0, 0, 0));
      p.drawText(QRect(cellX(c) + 9, cellY(r) + 4, 24, 24), Qt::AlignLeft | Qt::AlignTop,
                 chars.mid(k++ % chars.size(), 1));
    }
  // A character flying up to the answer row, in pure red.
  p.setPen(QColor(255, 0, 0));
  p.drawText(QRect(140, 90, 24, 24), Qt::AlignLeft | Qt::AlignTop, QString::fromUtf8("得"));

  QFont answerFont("IPAPMincho");
  answerFont.setPixelSize(37);
  answerFont.setBold(true);
  p.setFont(answerFont);
  const QString answer = QString::fromUtf8("一挙両得");
  for (int i = 0; i < 3; ++i)
    p.drawText(QRect(20 + 50 * i, 20, 40, 40), Qt::AlignLeft | Qt::AlignTop, answer.mid(i, 1));

  const int fw = walker.width() / 8;
  p.drawImage(QPoint(cellX(holeC) - 2, cellY(holeR) - 4), walker,
              QRect(fw * walkerFrame, 0, fw, walker.height()));

  Panel(p, panelFont, 250, 30, QString::fromUtf8("いっきょりょうとく"), QColor(0, 255, 0, 0x60),
        QColor(0, 0, 0));
  Panel(p, panelFont, 20, 460, QString::fromUtf8("BGM: 春の小川.mid"), QColor(0, 0, 255, 0x60),
        QColor(255, 255, 255));
  p.end();
  if (!frame.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "vm-gen-mockframe: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
