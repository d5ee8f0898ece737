// The character shift that keeps the stored login id from being readable at
// a glance. It is not encryption.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

// ASCII letters and digits move up into the code points 192..253, one for
// one; other ASCII characters stay; a character beyond ASCII becomes "X" and
// its code point in six hex digits, so every text comes back exactly.
std::string strScramble(std::string_view text);
// The inverse: 192..217 lose 127, 218..243 lose 121, 244..253 lose 196, and
// "X" with six hex digits is that code point. A text stored by an older
// version (which left other characters as they were) reads as it always did.
std::string strUnscramble(std::string_view text);

}  // namespace pelorin
