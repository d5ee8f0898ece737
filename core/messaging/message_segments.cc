#include "core/messaging/message_segments.h"

#include <array>

namespace pelorin {
namespace {

// Septets per character below U+0100: 0 when the default alphabet lacks it.
constexpr std::array<std::uint8_t, 256> MakeLatinTable() {
  std::array<std::uint8_t, 256> septets{};
  for (char32_t c = 0x20; c <= 0x7E; ++c) septets[c] = 1;
  septets['\n'] = septets['\r'] = 1;
  septets['`'] = 0;  // the grave accent has no place in either table
  for (char32_t c : {U'^', U'{', U'}', U'\\', U'[', U'~', U']', U'|', U'\f'}) septets[c] = 2;
  for (char32_t c : {0xA1, 0xA3, 0xA4, 0xA5, 0xA7, 0xBF, 0xC4, 0xC5, 0xC6, 0xC7, 0xC9,
                     0xD1, 0xD6, 0xD8, 0xDC, 0xDF, 0xE0, 0xE4, 0xE5, 0xE6, 0xE8, 0xE9,
                     0xEC, 0xF1, 0xF2, 0xF6, 0xF8, 0xF9, 0xFC}) {
    septets[c] = 1;
  }
  return septets;
}

constexpr std::array<std::uint8_t, 256> kLatinSeptets = MakeLatinTable();

// The Greek capitals of the default alphabet and the euro sign of its
// extension table: the only characters past U+00FF it holds.
int GsmSeptets(char32_t c) {
  if (c < 0x100) return kLatinSeptets[c];
  switch (c) {
    case 0x0393: case 0x0394: case 0x0398: case 0x039B: case 0x039E:
    case 0x03A0: case 0x03A3: case 0x03A6: case 0x03A8: case 0x03A9:
      return 1;
    case 0x20AC:
      return 2;
    default:
      return 0;
  }
}

int Ucs2Units(char32_t c) { return c > 0xFFFF ? 2 : 1; }

// Decodes one code point at `i` and moves past it; a byte that does not
// start a well-formed sequence stands for itself.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  int length = 0;
  char32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  }
  if (length == 0 || i + length > text.size()) {
    ++i;
    return lead;
  }
  for (int k = 1; k < length; ++k) {
    const unsigned char next = byte(i + k);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return lead;
    }
    code = (code << 6) | (next & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++i;
    return lead;
  }
  i += static_cast<std::size_t>(length);
  return code;
}

// Parts needed when each holds `room` units and no character is split.
template <typename UnitsOf>
std::int64_t PackParts(std::string_view text, std::int64_t room, UnitsOf units_of) {
  std::int64_t parts = 1;
  std::int64_t used = 0;
  for (std::size_t i = 0; i < text.size();) {
    const int units = units_of(NextCodePoint(text, i));
    if (used + units > room) {
      ++parts;
      used = 0;
    }
    used += units;
  }
  return parts;
}

}  // namespace

MessageCost CountSegments(std::string_view message) {
  std::int64_t septets = 0;
  std::int64_t ucs2_units = 0;
  bool gsm = true;
  for (std::size_t i = 0; i < message.size();) {
    const char32_t c = NextCodePoint(message, i);
    const int s = GsmSeptets(c);
    gsm = gsm && s > 0;
    septets += s;
    ucs2_units += Ucs2Units(c);
  }
  MessageCost cost;
  if (gsm) {
    cost.encoding = MessageEncoding::kGsm7;
    cost.units = septets;
    if (septets > kGsmSingleSegment) {
      cost.segments = PackParts(message, kGsmConcatenatedSegment, GsmSeptets);
    }
  } else {
    cost.encoding = MessageEncoding::kUcs2;
    cost.units = ucs2_units;
    if (ucs2_units > kUcs2SingleSegment) {
      cost.segments = PackParts(message, kUcs2ConcatenatedSegment, Ucs2Units);
    }
  }
  return cost;
}

std::string_view EncodingName(MessageEncoding encoding) {
  return encoding == MessageEncoding::kGsm7 ? "GSM 7-bit" : "UCS-2";
}

}  // namespace pelorin
