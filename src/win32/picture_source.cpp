// The pictures of the build's resources, when the build drew them.
#include "win32/picture_source.h"

#if KORVANE_WIN32_PICTURES
#include "win32/pictures/win32_pictures.h"
#endif

namespace korvane::win32 {

#if KORVANE_WIN32_PICTURES

HBITMAP fieldPicture(const std::string& fieldName, int width, int height) {
  return korvane::loadFieldPicture(fieldName, width, height);
}

HICON windowIcon(int size) { return korvane::loadWindowIcon(size); }

#else

HBITMAP fieldPicture(const std::string&, int, int) { return nullptr; }

HICON windowIcon(int) { return nullptr; }

#endif

}  // namespace korvane::win32
