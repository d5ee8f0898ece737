// The character shift that keeps the stored login id from being readable at
// a glance. It is not encryption.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

// Letters and digits move up into the code points 192..253, one for one;
// every other character stays. Works on UTF-8 code points.
std::string strScramble(std::string_view text);
// The inverse shift: 192..217 lose 127, 218..243 lose 121, 244..253 lose 196.
std::string strUnscramble(std::string_view text);

}  // namespace pelorin
