#include "core/service/url_encode.h"

#include "core/text/replace.h"

namespace pelorin {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsAlphanumeric(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void AppendPercentEncoded(std::string& out, unsigned char byte) {
  out.push_back('%');
  out.push_back(kHexDigits[byte >> 4]);
  out.push_back(kHexDigits[byte & 0x0F]);
}

}  // namespace

std::string strURLEncode(std::string_view text) {
  if (TrimSpaces(text).empty()) return std::string(text);
  std::string out;
  out.reserve(text.size() * 3);
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (IsAlphanumeric(byte)) {
      out.push_back(c);
    } else if (byte == ' ') {
      out.push_back('+');
    } else {
      AppendPercentEncoded(out, byte);
    }
  }
  return out;
}

std::string PercentEncodeQueryValue(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (IsAlphanumeric(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
      out.push_back(c);
    } else {
      AppendPercentEncoded(out, byte);
    }
  }
  return out;
}

}  // namespace pelorin
