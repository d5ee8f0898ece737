#include "workbook/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
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
  if (exponent < 0) return "0." + std::string(-exponent - 1, '0') + digits;
  std::size_t whole = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= whole) return digits + std::string(whole - digits.size(), '0');
  return digits.substr(0, whole) + "." + digits.substr(whole);
}

}  // namespace

std::string GeneralNumberText(double value) {
  if (!std::isfinite(value)) return "#NUM!";
  if (value == 0) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, value);
  // buffer is "[-]d.dddddddddddddde[+-]x..."
  std::string_view text(buffer);
  bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  std::size_t e_at = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e_at)) {
    if (c != '.') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = std::atoi(std::string(text.substr(e_at + 1)).c_str());

  std::string result = negative ? "-" : "";
  if (exponent > kLargestPlainExponent || exponent < kSmallestPlainExponent) {
    result += digits.substr(0, 1);
    if (digits.size() > 1) result += "." + digits.substr(1);
    result += ExponentText(exponent);
  } else {
    result += PlainText(digits, exponent);
  }
  return result;
}

std::string GeneralNumberText(std::string_view stored) {
  double value = 0;
  const char* end = stored.data() + stored.size();
  auto [stop, error] = std::from_chars(stored.data(), end, value);
  if (error != std::errc() || stop != end || stored.empty()) return std::string(stored);
  return GeneralNumberText(value);
}

}  // namespace pelorin::workbook
