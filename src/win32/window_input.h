// What the window system reports, in the window model's terms: the keys the
// key-down handlers see, the characters the key-press handlers see, and the
// window's outer size from the model's.
#pragma once

#include <windows.h>

namespace korvane::win32 {

// The virtual-key code a key-down handler is given for a WM_KEYDOWN's key:
// Enter and the four arrow keys; 0 for every other key, which reaches no
// key-down handler.
int modelKeyFor(WPARAM virtualKey);

// The character a key-press handler is given for a WM_CHAR: the typed
// character (13 for Enter); 0 for half of a surrogate pair, which no
// handler sees.
int modelCharacterFor(WPARAM character);

// The window's outer size for the model's outer height: the client area is
// kClientWidth wide, with the frame and the menu bar of `style` around it.
SIZE outerSizeFor(int outerHeight, DWORD style, DWORD exStyle);

}  // namespace korvane::win32
