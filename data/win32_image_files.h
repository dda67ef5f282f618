// The two Windows image file formats the Win32 build's resources hold,
// written from images drawn by the program's own picture code.
#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace korvane {

// A 32-bit bottom-up BMP file of `image` with premultiplied alpha in the
// fourth byte of each pixel, as AlphaBlend takes it.
QByteArray bmpFile(const QImage& image);

// An ICO file with one entry per image, each square and at most 256 pixels:
// 32-bit BMP entries with straight alpha and a transparency mask, but the
// 256 pixel one, which is PNG as Windows stores its large icons.
QByteArray icoFile(const std::vector<QImage>& images);

}  // namespace korvane
