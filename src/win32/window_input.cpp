// Keys, characters and the window's size in the window model's terms.
#include "win32/window_input.h"

#include "window/main_window.h"
#include "window/window_model.h"

namespace korvane::win32 {
namespace {

struct KeyRoute {
  WPARAM virtualKey;
  int modelKey;
};

constexpr KeyRoute kKeyRoutes[] = {
    {VK_RETURN, kKeyReturn}, {VK_LEFT, kKeyLeft}, {VK_UP, kKeyUp}, {VK_RIGHT, kKeyRight}, {VK_DOWN, kKeyDown},
};

}  // namespace

int modelKeyFor(WPARAM virtualKey) {
  for (const KeyRoute& route : kKeyRoutes) {
    if (route.virtualKey == virtualKey) return route.modelKey;
  }
  return 0;
}

int modelCharacterFor(WPARAM character) {
  if (character >= 0xD800 && character <= 0xDFFF) return 0;
  return static_cast<int>(character & 0xFFFF);
}

SIZE outerSizeFor(int outerHeight, DWORD style, DWORD exStyle) {
  RECT frame{0, 0, kClientWidth, 0};
  ::AdjustWindowRectEx(&frame, style, TRUE, exStyle);
  return SIZE{frame.right - frame.left, outerHeight};
}

}  // namespace korvane::win32
