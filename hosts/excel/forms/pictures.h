// The login dialog's pictures, drawn rather than loaded, so that the
// renderer needs no resources of the module it is linked into.
#pragma once

#include <windows.h>

#include <string_view>

namespace pelorin::excel {

// Draws the picture named `picture` ("alert", "stop", "download") into
// `area`; an unknown name draws nothing.
void DrawPicture(HDC dc, const RECT& area, std::string_view picture, HFONT caption_font);

}  // namespace pelorin::excel
