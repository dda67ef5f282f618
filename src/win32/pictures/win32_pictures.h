// The main window's pictures and the window icon for the Win32 binding,
// loaded from the program's resources, where the build put them drawn by
// the same picture code as the Qt binding's.
#pragma once

#include <windows.h>

#include <string>

namespace korvane {

// The picture of a picture field or the image of an image button, by the
// field's name, as a 32-bit DIB section with premultiplied alpha: draw it
// with AlphaBlend (AC_SRC_OVER, AC_SRC_ALPHA) over whatever the field sits
// on. width and height are the size the window shows it at: the field's own for a picture field, 48 x 48 for an image
// button's image. nullptr for a field without a picture, or for a size the
// build did not draw it at. The caller owns the bitmap (DeleteObject).
HBITMAP loadFieldPicture(const std::string& fieldName, int width, int height);

// The image of an image button in its disabled look, greyed as the Qt
// binding's style greys it, in the same format and at the same size as
// loadFieldPicture's. nullptr for a field that is not an image button or a
// size the build did not draw it at. The caller owns the bitmap.
HBITMAP loadDisabledFieldPicture(const std::string& fieldName, int width, int height);

// The window icon at size x size pixels, from the entry of the program's
// icon drawn at that size (16, 24, 32, 48 and 256 are), scaled from the
// nearest one otherwise; nullptr if the resource cannot be loaded. The
// caller owns the icon (DestroyIcon).
HICON loadWindowIcon(int size);

}  // namespace korvane
