// The program's pictures, drawn with QPainter at start-up: the logo, the
// images of the three image buttons and the window icon.
#pragma once

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace korvane {

// The side of the square image an image button shows.
constexpr int kButtonImageSize = 48;

// The logo on a transparent background: a tachometer and the name.
QPixmap drawLogo(QSize size);

// Start communication: a connector plug with a green "go" arrow.
QIcon drawStartImage();

// Stop communication: a red stop sign.
QIcon drawStopImage();

// Send every edited value to the controller: an arrow into a control unit.
QIcon drawSendImage();

// The window icon: the tachometer of the logo on its own.
QIcon drawWindowIcon();

// Paints the window icon into the square (0, 0, size, size) of any paint
// device; the build renders the installed icons with it.
void paintWindowIcon(QPainter& painter, double size);

// The picture of a picture field or the image of an image button, by the
// field's name; a null icon for a name without one.
QIcon imageForField(const QString& fieldName, QSize size);

}  // namespace korvane
