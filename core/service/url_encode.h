// The two encoders of values sent to the service.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

// The form-field encoder: letters and digits stay, a space becomes "+",
// every other UTF-8 byte becomes %XX (upper-case hex), "-", ".", "_", "~"
// included. A text that is empty or all spaces is answered unchanged.
std::string strURLEncode(std::string_view text);

// Appends the form encoding of every byte of `text` to `out`, without the
// all-spaces exception: for building a long field from many pieces at once.
void AppendURLEncoded(std::string& out, std::string_view text);

// Encodes a value put into a URL's query: the unreserved characters
// (letters, digits, "-", ".", "_", "~") stay, every other byte becomes %XX,
// so a value can neither add nor cut parameters.
std::string PercentEncodeQueryValue(std::string_view text);

}  // namespace pelorin
