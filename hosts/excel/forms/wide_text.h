// UTF-8 (the models' text) to and from UTF-16 (the windows' text), and caret
// offsets between characters and UTF-16 units.
#pragma once

#include <string>
#include <string_view>

namespace pelorin::excel {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// UTF-16 units before character `characters` of `text`, and the reverse.
int UnitsBefore(std::wstring_view text, int characters);
int CharactersBefore(std::wstring_view text, int units);

}  // namespace pelorin::excel
