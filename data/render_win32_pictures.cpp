// korvane-render-win32-pictures: the main window's pictures and the window
// icon for the Win32 build's resources, drawn by the program's own picture
// code at build time (the cross build has no Qt to draw them with):
//
//   korvane-render-win32-pictures DIR
//
// writes into DIR one <field>.bmp for each picture field and image button
// of the main window, at the size the window shows it, korvane.ico, the
// header win32_picture_resources.h with the resource ids and sizes, and
// win32_pictures.rc, which names the files by those ids.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/pictures.h"
#include "win32_image_files.h"
#include "window/main_window.h"

namespace {

constexpr int kWindowIconId = 1;
constexpr int kFirstPictureId = 101;
constexpr int kIconSizes[] = {16, 24, 32, 48, 256};

struct RenderedPicture {
  std::string field;
  int id;
  QImage image;
};

// An image button shows its image at the buttons' image size in the middle
// of the button; a picture field fills its own rectangle.
QSize shownSize(const korvane::Field& field) {
  if (field.kind() == korvane::FieldKind::ImageButton) return {korvane::kButtonImageSize, korvane::kButtonImageSize};
  return {field.width(), field.height()};
}

bool drawsPicture(const korvane::Field& field) {
  return field.kind() == korvane::FieldKind::ImageButton || field.kind() == korvane::FieldKind::Picture;
}

// Every field of the window that shows a picture, drawn; false when one of
// them has no drawing, which would leave a blank on the window.
bool renderFieldPictures(std::vector<RenderedPicture>& pictures) {
  const korvane::TFrm_Mapping window;
  int id = kFirstPictureId;
  for (const korvane::Field* field : window.model.fields()) {
    if (!drawsPicture(*field)) continue;
    const QSize size = shownSize(*field);
    const QIcon icon = korvane::imageForField(QString::fromStdString(field->name()), size);
    const QImage image = icon.pixmap(size).toImage();
    if (icon.isNull() || image.size() != size) {
      std::fprintf(stderr, "korvane-render-win32-pictures: no %dx%d picture is drawn for %s\n", size.width(),
                   size.height(), field->name().c_str());
      return false;
    }
    pictures.push_back({field->name(), id++, image});
  }
  return true;
}

QImage drawIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  korvane::paintWindowIcon(painter, size);
  return image;
}

// The resource id macro of a field: its name in capitals.
std::string idName(const std::string& field) {
  std::string name = "KORVANE_RES_";
  for (char c : field) name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return name;
}

std::string resourceHeader(const std::vector<RenderedPicture>& pictures) {
  std::string out =
      "// Written by korvane-render-win32-pictures: the resource ids of the main\n"
      "// window's pictures and icon, and the size each picture was drawn at.\n"
      "#pragma once\n\n"
      "#define KORVANE_RES_WINDOW_ICON " +
      std::to_string(kWindowIconId) + "\n";
  for (const RenderedPicture& p : pictures) out += "#define " + idName(p.field) + " " + std::to_string(p.id) + "\n";
  // The resource compiler reads this header too, and knows no C++.
  out +=
      "\n#ifndef RC_INVOKED\n"
      "namespace korvane {\n\n"
      "struct PictureResource {\n"
      "  const char* field;\n"
      "  int id;\n"
      "  int width;\n"
      "  int height;\n"
      "};\n\n"
      "inline constexpr PictureResource kPictureResources[] = {\n";
  for (const RenderedPicture& p : pictures) {
    out += "    {\"" + p.field + "\", " + idName(p.field) + ", " + std::to_string(p.image.width()) + ", " +
           std::to_string(p.image.height()) + "},\n";
  }
  out += "};\n\n}  // namespace korvane\n#endif\n";
  return out;
}

std::string resourceScript(const std::vector<RenderedPicture>& pictures) {
  std::string out =
      "// Written by korvane-render-win32-pictures: the main window's pictures\n"
      "// and icon. The icon has the lowest id, so it is the program's own icon.\n"
      "#include \"win32_picture_resources.h\"\n\n"
      "KORVANE_RES_WINDOW_ICON ICON \"korvane.ico\"\n";
  for (const RenderedPicture& p : pictures) out += idName(p.field) + " BITMAP \"" + p.field + ".bmp\"\n";
  return out;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()) return true;
  std::fprintf(stderr, "korvane-render-win32-pictures: cannot write %s\n", qPrintable(path));
  return false;
}

bool writeAll(const QString& dir, const std::vector<RenderedPicture>& pictures) {
  for (const RenderedPicture& p : pictures) {
    if (!writeFile(dir + QLatin1Char('/') + QString::fromStdString(p.field) + QStringLiteral(".bmp"),
                   korvane::bmpFile(p.image))) {
      return false;
    }
  }
  std::vector<QImage> icons;
  for (int size : kIconSizes) icons.push_back(drawIcon(size));
  return writeFile(dir + QStringLiteral("/korvane.ico"), korvane::icoFile(icons)) &&
         writeFile(dir + QStringLiteral("/win32_picture_resources.h"),
                   QByteArray::fromStdString(resourceHeader(pictures))) &&
         writeFile(dir + QStringLiteral("/win32_pictures.rc"), QByteArray::fromStdString(resourceScript(pictures)));
}

}  // namespace

int main(int argc, char** argv) {
  // The build needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 2) {
    std::fputs("usage: korvane-render-win32-pictures DIR\n", stderr);
    return 2;
  }
  const QString& dir = args[1];
  if (!QDir().mkpath(dir)) {
    std::fprintf(stderr, "korvane-render-win32-pictures: cannot make the folder %s\n", qPrintable(dir));
    return 1;
  }
  std::vector<RenderedPicture> pictures;
  return renderFieldPictures(pictures) && writeAll(dir, pictures) ? 0 : 1;
}
