// Small UTF-8 helpers: the system keeps all text as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace pelorin::utf8 {

// Code points of the text; a malformed byte decodes as itself (Latin-1), so
// no input is lost.
std::u32string Decode(std::string_view text);
void Append(std::string& out, char32_t code_point);
bool IsValid(std::string_view text);

}  // namespace pelorin::utf8
