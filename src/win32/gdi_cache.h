// The fonts and brushes the window draws with, made once each and kept for
// the window's life: the live values and the modified marks ask for them
// many times a second.
#pragma once

#include <windows.h>

#include <map>
#include <tuple>

#include "window/window_model.h"

namespace korvane::win32 {

// The colour a field's colour is shown in. The model's colours are already
// Win32's 0x00BBGGRR; the window's own face colour is whatever the system
// paints windows with.
COLORREF shownColour(Colour colour);

class GdiCache {
 public:
  GdiCache() = default;
  ~GdiCache();
  GdiCache(const GdiCache&) = delete;
  GdiCache& operator=(const GdiCache&) = delete;

  // The window's typeface at the font's pixel height and weight; `widthPercent`
  // below 100 narrows it, so that a fixed-width label's text fits.
  HFONT font(const Font& font, int widthPercent = 100);
  HBRUSH brush(COLORREF colour);

 private:
  std::map<std::tuple<int, bool, int>, HFONT> fonts_;
  std::map<COLORREF, HBRUSH> brushes_;
};

}  // namespace korvane::win32
