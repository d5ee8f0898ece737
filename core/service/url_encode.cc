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
  AppendURLEncoded(out, text);
  return out;
}

void AppendURLEncoded(std::string& out, std::string_view text) {
  // Sized for the worst case and cut back after: the merge calls this once
  // per cell, so a per-byte capacity check would dominate.
  std::size_t used = out.size();
  out.resize(used + text.size() * 3);
  char* next = out.data() + used;
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (IsAlphanumeric(byte)) {
      *next++ = c;
    } else if (byte == ' ') {
      *next++ = '+';
    } else {
      next[0] = '%';
      next[1] = kHexDigits[byte >> 4];
      next[2] = kHexDigits[byte & 0x0F];
      next += 3;
    }
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
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
