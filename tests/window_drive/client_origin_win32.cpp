// korvane-client-origin CAPTION: where the client area of the top-level
// window with that caption lies on the screen, for a script that clicks into
// the window from outside (under Wine, the screen's coordinates are the X
// display's). Prints "LEFT TOP WIDTH HEIGHT" and exits 0, or exits 1 when no
// such window is shown.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: korvane-client-origin CAPTION\n");
    return 2;
  }
  const HWND window = FindWindowA(nullptr, argv[1]);
  if (window == nullptr || !IsWindowVisible(window)) return 1;
  RECT client{};
  POINT origin{0, 0};
  if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return 1;
  std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right - client.left, client.bottom - client.top);
  return 0;
}
