// Whole numbers in the system's own stored texts (journals, file frames):
// digits only, read only when the text is the number and nothing else.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace pelorin {

// False for an empty text, a sign, anything after the digits, or a number
// too large for `Number`.
template <typename Number>
bool ParseWholeNumber(std::string_view text, Number& number, int base = 10) {
  if (text.empty()) return false;
  auto result = std::from_chars(text.data(), text.data() + text.size(), number, base);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Lower-case hex digits without leading zeros.
inline std::string HexText(std::uint64_t number) {
  char digits[16];
  auto result = std::to_chars(digits, digits + sizeof digits, number, 16);
  return std::string(digits, result.ptr);
}

}  // namespace pelorin
