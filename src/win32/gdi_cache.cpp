// The window's fonts and brushes.
#include "win32/gdi_cache.h"

#include <algorithm>

#include "window/main_window.h"

namespace korvane::win32 {
namespace {

// A sans-serif every Windows since XP has (and Wine brings its own of), with
// the proportions the window was laid out for.
constexpr wchar_t kTypeface[] = L"Tahoma";

HFONT createFont(int pixelHeight, bool bold, int width) {
  // A negative height asks for the character height, without the internal
  // leading: the pixel size the window's fonts are given in.
  return ::CreateFontW(-pixelHeight, width, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kTypeface);
}

// The average character width of a font, which a narrowed one is given as a
// share of.
int averageWidth(HFONT font) {
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return metrics.tmAveCharWidth;
}

}  // namespace

COLORREF shownColour(Colour colour) {
  if (colour == kButtonFace) return ::GetSysColor(COLOR_BTNFACE);
  return static_cast<COLORREF>(colour & 0x00FFFFFF);
}

GdiCache::~GdiCache() {
  for (auto& [key, font] : fonts_) ::DeleteObject(font);
  for (auto& [colour, brush] : brushes_) ::DeleteObject(brush);
}

HFONT GdiCache::font(const Font& font, int widthPercent) {
  const auto key = std::make_tuple(font.pixelSize, font.bold, widthPercent);
  if (auto found = fonts_.find(key); found != fonts_.end()) return found->second;
  int width = 0;
  if (widthPercent < 100) width = std::max(1, averageWidth(this->font(font)) * widthPercent / 100);
  HFONT created = createFont(font.pixelSize, font.bold, width);
  fonts_.emplace(key, created);
  return created;
}

HBRUSH GdiCache::brush(COLORREF colour) {
  if (auto found = brushes_.find(colour); found != brushes_.end()) return found->second;
  HBRUSH created = ::CreateSolidBrush(colour);
  brushes_.emplace(colour, created);
  return created;
}

}  // namespace korvane::win32
