#include "core/text/utf8.h"

namespace pelorin::utf8 {
namespace {

// Length of the well-formed sequence at `i`, or 0.
std::size_t SequenceLength(std::string_view text, std::size_t i, char32_t& code) {
  unsigned char lead = static_cast<unsigned char>(text[i]);
  std::size_t length;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if (lead >= 0xC2 && lead < 0xE0) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    unsigned char next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (overlong || surrogate || code > 0x10FFFF) return 0;
  return length;
}

}  // namespace

std::u32string Decode(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t code = 0;
    std::size_t length = SequenceLength(text, i, code);
    if (length == 0) {
      out.push_back(static_cast<unsigned char>(text[i]));
      ++i;
    } else {
      out.push_back(code);
      i += length;
    }
  }
  return out;
}

void Append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool IsValid(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    char32_t code = 0;
    std::size_t length = SequenceLength(text, i, code);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace pelorin::utf8
