// korvane-render-win32-pictures: the main window's pictures and the window
// icon for the Win32 build's resources, drawn by the program's own picture
// code at build time (the cross build has no Qt to draw them with):
//
//   korvane-render-win32-pictures DIR
//
// writes into DIR one <field>.bmp for each picture field and image button
// of the main window, at the size the window shows it, and for each image
// button its greyed look when disabled, <field>_disabled.bmp; korvane.ico;
// the header win32_picture_resources.h with the resource ids and sizes; and
// win32_pictures.rc, which names the files by those ids.
#include <QApplication>
#include <QDir>
#include <QFile>
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
constexpr int kFirstDisabledId = 201;
constexpr int kIconSizes[] = {16, 24, 32, 48, 256};

struct RenderedPicture {
  std::string field;
  int id;
  QImage image;
  int disabledId;  // 0 for a field that is never disabled
  QImage disabled;
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
// them has no drawing, which would leave a blank on the window. A disabled
// button greys its image the way the Qt binding's style does, so the look
// comes from the same place on both.
bool renderFieldPictures(std::vector<RenderedPicture>& pictures) {
  const korvane::TFrm_Mapping window;
  int id = kFirstPictureId;
  int disabledId = kFirstDisabledId;
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
    if (field->kind() == korvane::FieldKind::ImageButton) {
      pictures.push_back({field->name(), id++, image, disabledId++, icon.pixmap(size, QIcon::Disabled).toImage()});
    } else {
      pictures.push_back({field->name(), id++, image, 0, {}});
    }
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

// The name of a picture's file, without ".bmp".
std::string fileName(const std::string& field, bool disabled) { return disabled ? field + "_disabled" : field; }

// The resource id macro of a picture: its file's name in capitals.
std::string idName(const std::string& field, bool disabled = false) {
  std::string name = "KORVANE_RES_";
  for (char c : fileName(field, disabled)) name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return name;
}

std::string resourceHeader(const std::vector<RenderedPicture>& pictures) {
  std::string out =
      "// Written by korvane-render-win32-pictures: the resource ids of the main\n"
      "// window's pictures and icon, and the size each picture was drawn at.\n"
      "#pragma once\n\n"
      "#define KORVANE_RES_WINDOW_ICON " +
      std::to_string(kWindowIconId) + "\n";
  for (const RenderedPicture& p : pictures) {
    out += "#define " + idName(p.field) + " " + std::to_string(p.id) + "\n";
    if (p.disabledId != 0) out += "#define " + idName(p.field, true) + " " + std::to_string(p.disabledId) + "\n";
  }
  // The resource compiler reads this header too, and knows no C++.
  out +=
      "\n#ifndef RC_INVOKED\n"
      "namespace korvane {\n\n"
      "struct PictureResource {\n"
      "  const char* field;\n"
      "  int id;\n"
      "  int disabledId;  // 0 for a field that is never disabled\n"
      "  int width;\n"
      "  int height;\n"
      "};\n\n"
      "inline constexpr PictureResource kPictureResources[] = {\n";
  for (const RenderedPicture& p : pictures) {
    out += "    {\"" + p.field + "\", " + idName(p.field) + ", " + (p.disabledId != 0 ? idName(p.field, true) : "0") +
           ", " + std::to_string(p.image.width()) + ", " + std::to_string(p.image.height()) + "},\n";
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
  for (const RenderedPicture& p : pictures) {
    out += idName(p.field) + " BITMAP \"" + fileName(p.field, false) + ".bmp\"\n";
    if (p.disabledId != 0) out += idName(p.field, true) + " BITMAP \"" + fileName(p.field, true) + ".bmp\"\n";
  }
  return out;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()) return true;
  std::fprintf(stderr, "korvane-render-win32-pictures: cannot write %s\n", qPrintable(path));
  return false;
}

bool writeBmp(const QString& dir, const std::string& name, const QImage& image) {
  return writeFile(dir + QLatin1Char('/') + QString::fromStdString(name) + QStringLiteral(".bmp"),
                   korvane::bmpFile(image));
}

bool writeAll(const QString& dir, const std::vector<RenderedPicture>& pictures) {
  for (const RenderedPicture& p : pictures) {
    if (!writeBmp(dir, fileName(p.field, false), p.image)) return false;
    if (p.disabledId != 0 && !writeBmp(dir, fileName(p.field, true), p.disabled)) return false;
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
  // The build needs no display. A widget application, for the style that
  // greys a disabled button's image.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
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
