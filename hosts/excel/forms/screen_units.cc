#include "hosts/excel/forms/screen_units.h"

#include <cmath>

#include "hosts/excel/forms/wide_text.h"

namespace pelorin::excel {

int WindowDpi(HWND window) {
  // Found at run time: older systems have no per-window DPI.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi_for_window != nullptr && window != nullptr) {
    UINT dpi = get_dpi_for_window(window);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

double PixelsToTwips(int pixels, int dpi) { return pixels * 1440.0 / dpi; }

RECT TwipsToPixels(const forms::Rect& rect, int dpi) {
  RECT pixels;
  pixels.left = TwipsToPixels(rect.left, dpi);
  pixels.top = TwipsToPixels(rect.top, dpi);
  pixels.right = TwipsToPixels(rect.left + rect.width, dpi);
  pixels.bottom = TwipsToPixels(rect.top + rect.height, dpi);
  return pixels;
}

FontCache::~FontCache() {
  for (auto& [key, font] : fonts_) DeleteObject(font);
}

HFONT FontCache::Get(const forms::Font& font, int dpi, bool underline) {
  int tenths = static_cast<int>(std::lround(font.size_pt * 100));
  Key key{font.name, tenths, font.bold, font.italic, underline, dpi};
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second;

  LOGFONTW description{};
  description.lfHeight = -static_cast<LONG>(std::lround(font.size_pt * dpi / 72.0));
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  description.lfItalic = font.italic ? TRUE : FALSE;
  description.lfUnderline = underline ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  std::wstring face = Widen(font.name);
  lstrcpynW(description.lfFaceName, face.c_str(), LF_FACESIZE);
  HFONT created = CreateFontIndirectW(&description);
  fonts_.emplace(key, created);
  return created;
}

BrushCache::~BrushCache() {
  for (auto& [color, brush] : brushes_) DeleteObject(brush);
}

HBRUSH BrushCache::Get(forms::Rgb color) {
  COLORREF ref = ToColorRef(color);
  auto found = brushes_.find(ref);
  if (found != brushes_.end()) return found->second;
  HBRUSH brush = CreateSolidBrush(ref);
  brushes_.emplace(ref, brush);
  return brush;
}

}  // namespace pelorin::excel
