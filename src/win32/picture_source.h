// Where the window takes its pictures from: the program's resources, drawn
// by the build (win32/pictures), when this build has them; none otherwise,
// and the window shows its image buttons without images.
#pragma once

#include <windows.h>

#include <string>

namespace korvane::win32 {

// A picture field's picture or an image button's image at the size it is
// shown; nullptr when there is none. The caller owns it (DeleteObject).
HBITMAP fieldPicture(const std::string& fieldName, int width, int height);

// The window icon at size x size pixels; nullptr when there is none. The
// caller owns it (DestroyIcon).
HICON windowIcon(int size);

}  // namespace korvane::win32
