// The drawn pictures. Every shape is computed here; nothing is loaded from
// files, so the program carries no image resources.
#include "ui/pictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace korvane {
namespace {

QPixmap transparentPixmap(QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A point on the dial: value 0 sits at the lower left, the full scale at the
// lower right, 270 degrees of sweep clockwise, like an engine's tachometer.
QPointF dialPoint(QPointF centre, double radius, double fraction) {
  const double degrees = 225.0 - 270.0 * fraction;
  const double radians = degrees * std::numbers::pi / 180.0;
  return {centre.x() + radius * std::cos(radians), centre.y() - radius * std::sin(radians)};
}

void drawDialFace(QPainter& p, const QRectF& r) {
  QRadialGradient bezel(r.center(), r.width() / 2);
  bezel.setColorAt(0.86, QColor(0x2a, 0x2d, 0x33));
  bezel.setColorAt(0.93, QColor(0xd8, 0xdb, 0xe0));
  bezel.setColorAt(1.0, QColor(0x55, 0x58, 0x5e));
  p.setPen(Qt::NoPen);
  p.setBrush(bezel);
  p.drawEllipse(r);
  QRadialGradient face(r.center() - QPointF(0, r.height() * 0.15), r.width() * 0.45);
  face.setColorAt(0.0, QColor(0x3a, 0x3e, 0x46));
  face.setColorAt(1.0, QColor(0x14, 0x16, 0x1a));
  p.setBrush(face);
  p.drawEllipse(r.adjusted(r.width() * 0.07, r.height() * 0.07, -r.width() * 0.07, -r.height() * 0.07));
}

void drawDialScale(QPainter& p, const QRectF& r) {
  const QPointF c = r.center();
  const double tickOuter = r.width() * 0.35;
  const double width = std::max(1.0, r.width() / 60.0);
  // The red zone: a band just outside the last fifth of the ticks.
  const double band = r.width() * 0.385;
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0xe0, 0x1b, 0x10), r.width() * 0.035, Qt::SolidLine, Qt::FlatCap));
  p.drawArc(QRectF(c - QPointF(band, band), QSizeF(2 * band, 2 * band)), -45 * 16, static_cast<int>(270 * 0.2 * 16));
  for (int tick = 0; tick <= 16; ++tick) {
    const double f = tick / 16.0;
    const bool major = tick % 2 == 0;
    const QColor colour = f > 0.79 ? QColor(0xff, 0x5a, 0x40) : QColor(0xee, 0xee, 0xee);
    p.setPen(QPen(colour, major ? width * 1.4 : width * 0.8, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(dialPoint(c, tickOuter, f), dialPoint(c, tickOuter * (major ? 0.72 : 0.84), f));
  }
}

void drawDialNeedle(QPainter& p, const QRectF& r, double fraction) {
  const QPointF c = r.center();
  const double length = r.width() * 0.38;
  const QPointF tip = dialPoint(c, length, fraction);
  const QPointF tail = dialPoint(c, -length * 0.18, fraction);
  const QPointF side = dialPoint(QPointF(0, 0), r.width() * 0.035, fraction + 1.0 / 3.0);
  QPainterPath needle;
  needle.moveTo(tip);
  needle.lineTo(tail + side);
  needle.lineTo(tail - side);
  needle.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xff, 0x6a, 0x13));
  p.drawPath(needle);
  QRadialGradient hub(c, r.width() * 0.08);
  hub.setColorAt(0.0, QColor(0xf2, 0xf2, 0xf2));
  hub.setColorAt(1.0, QColor(0x50, 0x52, 0x58));
  p.setBrush(hub);
  p.drawEllipse(c, r.width() * 0.075, r.width() * 0.075);
}

void drawTachometer(QPainter& p, const QRectF& r) {
  drawDialFace(p, r);
  drawDialScale(p, r);
  drawDialNeedle(p, r, 0.7);
}

QFont logoFont(double pixelSize, bool italic) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(static_cast<int>(pixelSize));
  font.setWeight(QFont::Black);
  font.setItalic(italic);
  return font;
}

// The name, chrome-red with a dark edge and a soft shadow, scaled into `box`.
void drawName(QPainter& p, const QRectF& box) {
  QPainterPath text;
  text.addText(0, 0, logoFont(40, true), QStringLiteral("KORVANE"));
  const QRectF bounds = text.boundingRect();
  const double scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
  QTransform place;
  place.translate(box.left(), box.top());
  place.scale(scale, scale);
  place.translate(-bounds.left(), -bounds.top());
  const QPainterPath name = place.map(text);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 70));
  p.drawPath(name.translated(2, 2));
  QLinearGradient fill(0, box.top(), 0, box.bottom());
  fill.setColorAt(0.0, QColor(0xff, 0x9a, 0x4a));
  fill.setColorAt(0.48, QColor(0xe8, 0x3a, 0x14));
  fill.setColorAt(0.52, QColor(0xc4, 0x1e, 0x0c));
  fill.setColorAt(1.0, QColor(0x8a, 0x10, 0x08));
  p.setBrush(fill);
  p.setPen(QPen(QColor(0x3a, 0x08, 0x04), 1.0));
  p.drawPath(name);
}

// A swoosh under the name that thins out towards the tachometer.
void drawSwoosh(QPainter& p, double left, double right, double y) {
  QPainterPath swoosh;
  swoosh.moveTo(left, y + 1);
  swoosh.cubicTo(left + (right - left) * 0.4, y - 1, right - 40, y - 3, right, y - 4);
  swoosh.lineTo(right - 6, y + 2);
  swoosh.cubicTo(right - 60, y + 3, left + (right - left) * 0.4, y + 3, left, y + 1);
  QLinearGradient fill(left, 0, right, 0);
  fill.setColorAt(0.0, QColor(0xe8, 0x3a, 0x14, 0));
  fill.setColorAt(1.0, QColor(0xe8, 0x3a, 0x14));
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawPath(swoosh);
}

void drawTagline(QPainter& p, const QRectF& box) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(9);
  font.setBold(true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
  p.setFont(font);
  p.setPen(QColor(0x3c, 0x3f, 0x45));
  p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("FUEL INJECTION TUNING"));
}

QPixmap drawStart(int s) {
  QPixmap pixmap = transparentPixmap({s, s});
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
  QRadialGradient ball(r.center() - QPointF(s * 0.12, s * 0.14), s * 0.55);
  ball.setColorAt(0.0, QColor(0x8c, 0xe8, 0x7a));
  ball.setColorAt(1.0, QColor(0x1c, 0x8a, 0x2a));
  p.setPen(QPen(QColor(0x10, 0x5a, 0x1a), s / 32.0));
  p.setBrush(ball);
  p.drawEllipse(r);
  QPainterPath play;
  play.moveTo(s * 0.40, s * 0.28);
  play.lineTo(s * 0.74, s * 0.50);
  play.lineTo(s * 0.40, s * 0.72);
  play.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(play);
  return pixmap;
}

QPixmap drawStop(int s) {
  QPixmap pixmap = transparentPixmap({s, s});
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPolygonF octagon;
  for (int k = 0; k < 8; ++k) {
    const double a = (22.5 + 45.0 * k) * std::numbers::pi / 180.0;
    octagon << QPointF(s / 2.0 + s * 0.46 * std::cos(a), s / 2.0 + s * 0.46 * std::sin(a));
  }
  QLinearGradient fill(0, 0, 0, s);
  fill.setColorAt(0.0, QColor(0xf0, 0x4a, 0x3a));
  fill.setColorAt(1.0, QColor(0xa8, 0x10, 0x0a));
  p.setPen(QPen(QColor(0x6a, 0x08, 0x04), s / 32.0));
  p.setBrush(fill);
  p.drawPolygon(octagon);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(s * 0.32, s * 0.32, s * 0.36, s * 0.36), s * 0.03, s * 0.03);
  return pixmap;
}

void drawControlUnit(QPainter& p, int s) {
  const QRectF body(s * 0.20, s * 0.56, s * 0.60, s * 0.36);
  p.setPen(QPen(QColor(0x9a, 0x9c, 0xa0), s / 24.0, Qt::SolidLine, Qt::FlatCap));
  for (int pin = 0; pin < 5; ++pin) {
    const double x = body.left() + body.width() * (0.14 + 0.18 * pin);
    p.drawLine(QPointF(x, body.top() - s * 0.05), QPointF(x, body.top()));
    p.drawLine(QPointF(x, body.bottom()), QPointF(x, body.bottom() + s * 0.05));
  }
  QLinearGradient fill(0, body.top(), 0, body.bottom());
  fill.setColorAt(0.0, QColor(0x4a, 0x4e, 0x56));
  fill.setColorAt(1.0, QColor(0x1a, 0x1c, 0x20));
  p.setPen(QPen(QColor(0x0c, 0x0c, 0x0e), s / 48.0));
  p.setBrush(fill);
  p.drawRoundedRect(body, s * 0.04, s * 0.04);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xff, 0x6a, 0x13));
  p.drawEllipse(QPointF(body.left() + s * 0.08, body.top() + s * 0.08), s * 0.03, s * 0.03);
}

QPixmap drawSend(int s) {
  QPixmap pixmap = transparentPixmap({s, s});
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  drawControlUnit(p, s);
  QPainterPath arrow;
  arrow.moveTo(s * 0.42, s * 0.04);
  arrow.lineTo(s * 0.58, s * 0.04);
  arrow.lineTo(s * 0.58, s * 0.26);
  arrow.lineTo(s * 0.72, s * 0.26);
  arrow.lineTo(s * 0.50, s * 0.50);
  arrow.lineTo(s * 0.28, s * 0.26);
  arrow.lineTo(s * 0.42, s * 0.26);
  arrow.closeSubpath();
  QLinearGradient fill(0, 0, 0, s * 0.5);
  fill.setColorAt(0.0, QColor(0x6a, 0xb4, 0xff));
  fill.setColorAt(1.0, QColor(0x12, 0x5a, 0xc8));
  p.setPen(QPen(QColor(0x0a, 0x36, 0x80), s / 40.0));
  p.setBrush(fill);
  p.drawPath(arrow);
  return pixmap;
}

QIcon iconFrom(QPixmap (*draw)(int)) {
  QIcon icon;
  for (int size : {16, 24, 32, kButtonImageSize, 64}) icon.addPixmap(draw(size));
  return icon;
}

QPixmap drawIconPixmap(int s) {
  QPixmap pixmap = transparentPixmap({s, s});
  QPainter p(&pixmap);
  paintWindowIcon(p, s);
  return pixmap;
}

}  // namespace

QPixmap drawLogo(QSize size) {
  QPixmap pixmap = transparentPixmap(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const double h = size.height();
  const double w = size.width();
  const double dial = h * 0.80;
  drawTachometer(p, QRectF(h * 0.06, (h - dial) / 2, dial, dial));
  const double textLeft = h * 0.06 + dial + w * 0.025;
  drawName(p, QRectF(textLeft, h * 0.20, w - textLeft - w * 0.02, h * 0.44));
  drawSwoosh(p, textLeft - w * 0.02, w - w * 0.01, h * 0.72);
  drawTagline(p, QRectF(textLeft, h * 0.74, w - textLeft - w * 0.02, h * 0.16));
  return pixmap;
}

QIcon drawStartImage() { return iconFrom(drawStart); }
QIcon drawStopImage() { return iconFrom(drawStop); }
QIcon drawSendImage() { return iconFrom(drawSend); }
QIcon drawWindowIcon() { return iconFrom(drawIconPixmap); }

void paintWindowIcon(QPainter& painter, double size) {
  painter.setRenderHint(QPainter::Antialiasing);
  drawTachometer(painter, QRectF(0, 0, size, size));
}

QIcon imageForField(const QString& fieldName, QSize size) {
  struct NamedImage {
    const char* name;
    QIcon (*draw)(QSize);
  };
  static const NamedImage kImages[] = {
      {"Begin_Comm", [](QSize) { return drawStartImage(); }},
      {"Halt_Comm", [](QSize) { return drawStopImage(); }},
      {"BitBtn2", [](QSize) { return drawSendImage(); }},
      {"Image1", [](QSize s) { return QIcon(drawLogo(s)); }},
  };
  for (const NamedImage& image : kImages) {
    if (fieldName == QLatin1String(image.name)) return image.draw(size);
  }
  return {};
}

}  // namespace korvane
