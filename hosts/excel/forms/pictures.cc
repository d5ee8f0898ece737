#include "hosts/excel/forms/pictures.h"

#include <algorithm>

namespace pelorin::excel {
namespace {

void FillPolygon(HDC dc, const POINT* points, int count, COLORREF fill, COLORREF edge) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, edge);
  HGDIOBJ old_brush = SelectObject(dc, brush);
  HGDIOBJ old_pen = SelectObject(dc, pen);
  Polygon(dc, points, count);
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  DeleteObject(brush);
  DeleteObject(pen);
}

void CentredText(HDC dc, RECT area, const wchar_t* text, COLORREF color, HFONT font) {
  HGDIOBJ old_font = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color);
  DrawTextW(dc, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old_font);
}

// A warning triangle with an exclamation mark.
void DrawAlert(HDC dc, const RECT& a, HFONT font) {
  POINT triangle[] = {{(a.left + a.right) / 2, a.top}, {a.right - 1, a.bottom - 1}, {a.left, a.bottom - 1}};
  FillPolygon(dc, triangle, 3, RGB(255, 204, 0), RGB(96, 64, 0));
  RECT mark = a;
  mark.top += (a.bottom - a.top) / 4;
  CentredText(dc, mark, L"!", RGB(0, 0, 0), font);
}

// A red octagon with a white bar.
void DrawStop(HDC dc, const RECT& a, HFONT) {
  int w = a.right - a.left, h = a.bottom - a.top;
  int cx = w * 3 / 10, cy = h * 3 / 10;
  POINT octagon[] = {{a.left + cx, a.top},        {a.right - 1 - cx, a.top},   {a.right - 1, a.top + cy},
                     {a.right - 1, a.bottom - 1 - cy}, {a.right - 1 - cx, a.bottom - 1},
                     {a.left + cx, a.bottom - 1}, {a.left, a.bottom - 1 - cy}, {a.left, a.top + cy}};
  FillPolygon(dc, octagon, 8, RGB(204, 0, 0), RGB(96, 0, 0));
  RECT bar{a.left + w / 5, a.top + h * 2 / 5, a.right - w / 5, a.bottom - h * 2 / 5};
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, &bar, white);
  DeleteObject(white);
}

// A green button with a down arrow and the word "Download".
void DrawDownload(HDC dc, const RECT& a, HFONT font) {
  HBRUSH green = CreateSolidBrush(RGB(0, 128, 64));
  HPEN edge = CreatePen(PS_SOLID, 1, RGB(0, 72, 36));
  HGDIOBJ old_brush = SelectObject(dc, green);
  HGDIOBJ old_pen = SelectObject(dc, edge);
  int round = std::min(a.right - a.left, a.bottom - a.top) / 3;
  RoundRect(dc, a.left, a.top, a.right, a.bottom, round, round);
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  DeleteObject(green);
  DeleteObject(edge);

  int h = a.bottom - a.top;
  int arrow_w = h * 2 / 3;
  int left = a.left + h / 4;
  int mid = left + arrow_w / 2;
  POINT arrow[] = {{mid - arrow_w / 6, a.top + h / 6},      {mid + arrow_w / 6, a.top + h / 6},
                   {mid + arrow_w / 6, a.top + h / 2},      {left + arrow_w, a.top + h / 2},
                   {mid, a.bottom - h / 6},                 {left, a.top + h / 2},
                   {mid - arrow_w / 6, a.top + h / 2}};
  FillPolygon(dc, arrow, 7, RGB(255, 255, 255), RGB(255, 255, 255));
  RECT words{left + arrow_w, a.top, a.right, a.bottom};
  CentredText(dc, words, L"Download", RGB(255, 255, 255), font);
}

}  // namespace

void DrawPicture(HDC dc, const RECT& area, std::string_view picture, HFONT caption_font) {
  if (picture == "alert") DrawAlert(dc, area, caption_font);
  if (picture == "stop") DrawStop(dc, area, caption_font);
  if (picture == "download") DrawDownload(dc, area, caption_font);
}

}  // namespace pelorin::excel
