// Twips of the models to pixels of a window at its DPI, and the fonts the
// models name as GDI fonts, created once per distinct font and DPI.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "core/forms/control.h"

namespace pelorin::excel {

// The window's DPI (the screen's when the system cannot tell per window).
int WindowDpi(HWND window);
// Each edge converted on its own, so that neighbours meet as designed.
RECT TwipsToPixels(const forms::Rect& rect, int dpi);
int TwipsToPixels(int twips, int dpi);
double PixelsToTwips(int pixels, int dpi);

class FontCache {
 public:
  FontCache() = default;
  ~FontCache();
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  HFONT Get(const forms::Font& font, int dpi, bool underline = false);

 private:
  using Key = std::tuple<std::string, int, bool, bool, bool, int>;
  std::map<Key, HFONT> fonts_;
};

class BrushCache {
 public:
  BrushCache() = default;
  ~BrushCache();
  BrushCache(const BrushCache&) = delete;
  BrushCache& operator=(const BrushCache&) = delete;

  HBRUSH Get(forms::Rgb color);

 private:
  std::map<COLORREF, HBRUSH> brushes_;
};

inline COLORREF ToColorRef(forms::Rgb color) { return RGB(color.red, color.green, color.blue); }

}  // namespace pelorin::excel
