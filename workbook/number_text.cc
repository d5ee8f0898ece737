#include "workbook/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace pelorin::workbook {
namespace {

// Spreadsheets keep 15 significant digits; beyond that a double's digits
// are noise ("0.30000000000000004" is shown as 0.3).
constexpr int kSignificantDigits = 15;
constexpr int kLargestPlainExponent = 14;
constexpr int kSmallestPlainExponent = -9;

std::string ExponentText(int exponent) {
  std::string text = exponent < 0 ? "E-" : "E+";
  int magnitude = std::abs(exponent);
  if (magnitude < 10) text += '0';
  text += std::to_string(magnitude);
  return text;
}

std::string PlainText(const std::string& digits, int exponent) {
  std::string text;
  if (exponent < 0) {
    text.assign("0.");
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text.append(digits);
    return text;
  }
  std::size_t whole = static_cast<std::size_t>(exponent) + 1;
  text.assign(digits, 0, std::min(whole, digits.size()));
  if (digits.size() <= whole) {
    text.append(whole - digits.size(), '0');
  } else {
    text.push_back('.');
    text.append(digits, whole, std::string::npos);
  }
  return text;
}

}  // namespace

std::string GeneralNumberText(double value) {
  if (!std::isfinite(value)) return "#NUM!";
  if (value == 0) return "0";
  char buffer[64];
  auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                               kSignificantDigits - 1);
  // buffer is "[-]d.dddddddddddddde[+-]x..."
  std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
  bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  std::size_t e_at = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e_at)) {
    if (c != '.') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = 0;
  std::string_view exponent_text = text.substr(e_at + 1);
  if (!exponent_text.empty() && exponent_text.front() == '+') exponent_text.remove_prefix(1);
  std::from_chars(exponent_text.data(), exponent_text.data() + exponent_text.size(), exponent);

  std::string result = negative ? "-" : "";
  if (exponent > kLargestPlainExponent || exponent < kSmallestPlainExponent) {
    result.push_back(digits.front());
    if (digits.size() > 1) {
      result.push_back('.');
      result.append(digits, 1, std::string::npos);
    }
    result += ExponentText(exponent);
  } else {
    result += PlainText(digits, exponent);
  }
  return result;
}

// True when `text` is already a number's general form: a plain decimal of at
// most 15 significant digits, no superfluous zeros, within the plain range.
// Such text survives the trip through a double unchanged, so it is kept and
// the costly formatting skipped (the common case of whole numbers).
static bool IsGeneralForm(std::string_view text) {
  // One pass: this runs for every number cell of a sheet.
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  const char* at = text.data();
  const char* end = at + text.size();
  bool negative = at != end && *at == '-';
  if (negative) ++at;
  const char* whole = at;
  while (at != end && digit(*at)) ++at;
  std::size_t whole_size = static_cast<std::size_t>(at - whole);
  std::size_t fraction_size = 0;
  std::size_t zeros = 0;  // leading the fraction
  if (at != end) {
    if (*at != '.') return false;
    const char* fraction = ++at;
    while (at != end && *at == '0') ++at;
    zeros = static_cast<std::size_t>(at - fraction);
    while (at != end && digit(*at)) ++at;
    fraction_size = static_cast<std::size_t>(at - fraction);
    if (at != end || fraction_size == 0 || end[-1] == '0') return false;
  }
  if (whole_size == 0 || (whole_size > 1 && *whole == '0')) return false;
  if (whole_size == 1 && *whole == '0') {
    if (fraction_size == 0) return !negative;  // "0" but not "-0"
    return -static_cast<int>(zeros) - 1 >= kSmallestPlainExponent &&
           fraction_size - zeros <= static_cast<std::size_t>(kSignificantDigits);
  }
  return whole_size <= static_cast<std::size_t>(kLargestPlainExponent) + 1 &&
         whole_size + fraction_size <= static_cast<std::size_t>(kSignificantDigits);
}

bool IsGeneralNumberText(std::string_view stored) { return IsGeneralForm(stored); }

std::string GeneralNumberText(std::string_view stored) {
  if (IsGeneralForm(stored)) return std::string(stored);
  double value = 0;
  const char* end = stored.data() + stored.size();
  auto [stop, error] = std::from_chars(stored.data(), end, value);
  if (error != std::errc() || stop != end || stored.empty() || !std::isfinite(value)) {
    return std::string(stored);  // "inf" and "nan" are no spreadsheet numbers
  }
  return GeneralNumberText(value);
}

}  // namespace pelorin::workbook
