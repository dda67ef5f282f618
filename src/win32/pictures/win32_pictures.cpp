// Loading the pictures and the icon from the resources the build compiled
// from the rendered files (win32_pictures.rc and its header of ids).
#include "win32/pictures/win32_pictures.h"

#include "win32_picture_resources.h"

namespace korvane {

namespace {

HBITMAP loadPicture(const std::string& fieldName, int width, int height, bool disabled) {
  for (const PictureResource& picture : kPictureResources) {
    if (fieldName != picture.field) continue;
    const int id = disabled ? picture.disabledId : picture.id;
    // Stretching would spoil the drawing and AlphaBlend's premultiplied
    // colours alike; the build draws each picture at the size it is shown.
    if (id == 0 || width != picture.width || height != picture.height) return nullptr;
    // A DIB section keeps the 32 bits of each pixel as they were drawn; a
    // bitmap made for the screen would lose the alpha.
    return static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  }
  return nullptr;
}

}  // namespace

HBITMAP loadFieldPicture(const std::string& fieldName, int width, int height) {
  return loadPicture(fieldName, width, height, false);
}

HBITMAP loadDisabledFieldPicture(const std::string& fieldName, int width, int height) {
  return loadPicture(fieldName, width, height, true);
}

HICON loadWindowIcon(int size) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(KORVANE_RES_WINDOW_ICON), IMAGE_ICON,
                                       size, size, LR_DEFAULTCOLOR));
}

}  // namespace korvane
