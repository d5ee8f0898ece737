#include "core/settings/scramble.h"

#include "core/text/utf8.h"

namespace pelorin {
namespace {

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

std::string MapCodePoints(std::string_view text, char32_t (*map)(char32_t)) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char32_t c : utf8::Decode(text)) utf8::Append(out, map(c));
  return out;
}

}  // namespace

std::string strScramble(std::string_view text) { return MapCodePoints(text, ScrambleCode); }
std::string strUnscramble(std::string_view text) { return MapCodePoints(text, UnscrambleCode); }

}  // namespace pelorin
