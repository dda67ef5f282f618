// korvane-render-icons: the window icon as the files the desktop looks it up
// by, drawn by the program's own picture code at build time:
//
//   korvane-render-icons DIR ID SIZE...
//
// writes DIR/<n>x<n>/apps/ID.png for each SIZE and DIR/scalable/apps/ID.svg.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "ui/pictures.h"

namespace {

bool writePng(const QString& dir, const QString& id, int size) {
  const QString folder = QStringLiteral("%1/%2x%2/apps").arg(dir).arg(size);
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    korvane::paintWindowIcon(painter, size);
  }
  return QDir().mkpath(folder) && image.save(folder + QLatin1Char('/') + id + QStringLiteral(".png"), "PNG");
}

bool writeSvg(const QString& dir, const QString& id) {
  // The drawing is laid out in units of the icon's size; 256 is the largest
  // raster size, so the scalable one reads the same at that size.
  constexpr int kSize = 256;
  const QString folder = dir + QStringLiteral("/scalable/apps");
  if (!QDir().mkpath(folder)) return false;
  QSvgGenerator svg;
  svg.setFileName(folder + QLatin1Char('/') + id + QStringLiteral(".svg"));
  svg.setSize(QSize(kSize, kSize));
  svg.setViewBox(QRect(0, 0, kSize, kSize));
  svg.setTitle(QStringLiteral("Korvane"));
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  korvane::paintWindowIcon(painter, kSize);
  return painter.end();
}

}  // namespace

int main(int argc, char** argv) {
  // The build needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 4) {
    std::fputs("usage: korvane-render-icons DIR ID SIZE...\n", stderr);
    return 2;
  }
  const QString& dir = args[1];
  const QString& id = args[2];
  for (qsizetype k = 3; k < args.size(); ++k) {
    bool number = false;
    const int size = args[k].toInt(&number);
    if (!number || size <= 0 || !writePng(dir, id, size)) {
      std::fprintf(stderr, "korvane-render-icons: cannot write the %s pixel icon in %s\n", qPrintable(args[k]),
                   qPrintable(dir));
      return 1;
    }
  }
  if (!writeSvg(dir, id)) {
    std::fprintf(stderr, "korvane-render-icons: cannot write the scalable icon in %s\n", qPrintable(dir));
    return 1;
  }
  return 0;
}
