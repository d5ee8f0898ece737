#include "core/settings/scramble.h"

#include "core/text/utf8.h"

namespace pelorin {
namespace {

// The shifted ranges hold every ASCII letter and digit, so a stored text
// never contains one of those. A code point beyond ASCII is therefore written
// as this letter and six hex digits: no text stored before can hold it, and
// nothing else the scramble writes can be mistaken for it.
constexpr char32_t kWideMark = U'X';
constexpr int kWideDigits = 6;

char32_t ScrambleCode(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 127;
  if (c >= U'a' && c <= U'z') return c + 121;
  if (c >= U'0' && c <= U'9') return c + 196;
  return c;
}

char32_t UnscrambleCode(char32_t c) {
  if (c >= 192 && c <= 217) return c - 127;
  if (c >= 218 && c <= 243) return c - 121;
  if (c >= 244 && c <= 253) return c - 196;
  return c;
}

void AppendWide(std::string& out, char32_t c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += static_cast<char>(kWideMark);
  for (int shift = 4 * (kWideDigits - 1); shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
}

int HexValue(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A' + 10);
  return -1;
}

// The code point written at `at` by AppendWide, or -1 when the text there is
// not one (then every character reads as the older rule says).
long WideAt(const std::u32string& codes, std::size_t at) {
  if (codes[at] != kWideMark || at + kWideDigits >= codes.size()) return -1;
  long value = 0;
  for (int i = 1; i <= kWideDigits; ++i) {
    int digit = HexValue(codes[at + i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value >= 0x80 && value <= 0x10FFFF ? value : -1;
}

}  // namespace

std::string strScramble(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char32_t c : utf8::Decode(text)) {
    if (c >= 0x80) {
      AppendWide(out, c);
    } else {
      utf8::Append(out, ScrambleCode(c));
    }
  }
  return out;
}

std::string strUnscramble(std::string_view text) {
  const std::u32string codes = utf8::Decode(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < codes.size(); ++at) {
    if (long wide = WideAt(codes, at); wide >= 0) {
      utf8::Append(out, static_cast<char32_t>(wide));
      at += kWideDigits;
    } else {
      utf8::Append(out, UnscrambleCode(codes[at]));
    }
  }
  return out;
}

}  // namespace pelorin
