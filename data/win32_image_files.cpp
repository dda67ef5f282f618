// BMP and ICO writers. Both formats are little-endian structures of fixed
// layout (BITMAPFILEHEADER, BITMAPINFOHEADER, ICONDIR, ICONDIRENTRY); they
// are written field by field so the files do not depend on how this
// machine lays out or orders the bytes of a struct.
#include "win32_image_files.h"

#include <QBuffer>
#include <cstdint>

namespace korvane {
namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr int kLargestBmpEntry = 255;  // larger icon entries are PNG

void put16(QByteArray& out, std::uint16_t value) {
  out.append(static_cast<char>(value & 0xFF));
  out.append(static_cast<char>(value >> 8));
}

void put32(QByteArray& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.append(static_cast<char>((value >> shift) & 0xFF));
}

// BITMAPINFOHEADER. An icon entry's header counts the colour rows and the
// mask rows below them, so its height is twice the image's.
void putInfoHeader(QByteArray& out, const QImage& image, int heightFactor, std::uint32_t dataSize) {
  put32(out, kInfoHeaderSize);
  put32(out, static_cast<std::uint32_t>(image.width()));
  put32(out, static_cast<std::uint32_t>(image.height() * heightFactor));
  put16(out, 1);   // planes
  put16(out, 32);  // bits per pixel
  put32(out, kBiRgb);
  put32(out, dataSize);
  put32(out, 2835);  // 72 dots per inch, in dots per metre
  put32(out, 2835);
  put32(out, 0);  // colours used
  put32(out, 0);  // colours important
}

// Blue, green, red, alpha per pixel, the bottom row first. The image's
// format decides whether the colours are premultiplied.
void putPixels(QByteArray& out, const QImage& image) {
  for (int y = image.height() - 1; y >= 0; --y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      out.append(static_cast<char>(qBlue(row[x])));
      out.append(static_cast<char>(qGreen(row[x])));
      out.append(static_cast<char>(qRed(row[x])));
      out.append(static_cast<char>(qAlpha(row[x])));
    }
  }
}

int maskRowBytes(int width) { return (width + 31) / 32 * 4; }

// The AND mask, one bit a pixel, set where the icon is fully transparent:
// only what draws an icon without its alpha looks at it.
void putMask(QByteArray& out, const QImage& image) {
  const int rowBytes = maskRowBytes(image.width());
  for (int y = image.height() - 1; y >= 0; --y) {
    QByteArray row(rowBytes, '\0');
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(image.pixel(x, y)) == 0) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    }
    out.append(row);
  }
}

QByteArray bmpIconEntry(const QImage& image) {
  const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
  const auto dataSize = static_cast<std::uint32_t>(straight.width() * straight.height() * 4 +
                                                   maskRowBytes(straight.width()) * straight.height());
  QByteArray out;
  putInfoHeader(out, straight, 2, dataSize);
  putPixels(out, straight);
  putMask(out, straight);
  return out;
}

QByteArray pngIconEntry(const QImage& image) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
  return out;
}

}  // namespace

QByteArray bmpFile(const QImage& image) {
  const QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const auto dataSize = static_cast<std::uint32_t>(premultiplied.width() * premultiplied.height() * 4);
  QByteArray out;
  out.append("BM");
  put32(out, kFileHeaderSize + kInfoHeaderSize + dataSize);
  put32(out, 0);  // reserved
  put32(out, kFileHeaderSize + kInfoHeaderSize);
  putInfoHeader(out, premultiplied, 1, dataSize);
  putPixels(out, premultiplied);
  return out;
}

QByteArray icoFile(const std::vector<QImage>& images) {
  constexpr int kDirSize = 6;
  constexpr int kEntrySize = 16;
  std::vector<QByteArray> payloads;
  for (const QImage& image : images) {
    payloads.push_back(image.width() > kLargestBmpEntry ? pngIconEntry(image) : bmpIconEntry(image));
  }
  QByteArray out;
  put16(out, 0);  // reserved
  put16(out, 1);  // an icon, not a cursor
  put16(out, static_cast<std::uint16_t>(images.size()));
  auto offset = static_cast<std::uint32_t>(kDirSize + kEntrySize * images.size());
  for (std::size_t k = 0; k < images.size(); ++k) {
    // A side of 256 is written as 0: the field is one byte.
    out.append(static_cast<char>(images[k].width() & 0xFF));
    out.append(static_cast<char>(images[k].height() & 0xFF));
    out.append('\0');  // colours in a palette: none
    out.append('\0');  // reserved
    put16(out, 1);     // planes
    put16(out, 32);    // bits per pixel
    put32(out, static_cast<std::uint32_t>(payloads[k].size()));
    put32(out, offset);
    offset += static_cast<std::uint32_t>(payloads[k].size());
  }
  for (const QByteArray& payload : payloads) out.append(payload);
  return out;
}

}  // namespace korvane
