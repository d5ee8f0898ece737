#include "form_codec.h"

namespace pelorin::provider {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Length of the UTF-8 sequence starting at `lead`, or 0 when `lead` cannot
// start one.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+') {
      out.push_back(' ');
    } else if (c == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      out.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::optional<FormFields> ParseForm(std::string_view text) {
  FormFields fields;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('&', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view piece = text.substr(start, end - start);
    start = end + 1;
    if (piece.empty()) continue;
    size_t eq = piece.find('=');
    std::optional<std::string> name = PercentDecode(piece.substr(0, eq));
    std::optional<std::string> value =
        eq == std::string_view::npos ? std::string()
                                     : PercentDecode(piece.substr(eq + 1));
    if (!name || !value) return std::nullopt;
    fields.emplace(std::move(*name), std::move(*value));
  }
  return fields;
}

std::string_view QueryOf(std::string_view target) {
  size_t mark = target.find('?');
  if (mark == std::string_view::npos) return {};
  std::string_view query = target.substr(mark + 1);
  return query.substr(0, query.find('#'));
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    auto lead = static_cast<unsigned char>(text[i]);
    int length = SequenceLength(lead);
    if (length == 0 || i + length > text.size()) return false;
    for (int k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    if (length >= 3) {
      auto second = static_cast<unsigned char>(text[i + 1]);
      if (lead == 0xE0 && second < 0xA0) return false;  // overlong
      if (lead == 0xED && second > 0x9F) return false;  // surrogate
      if (lead == 0xF0 && second < 0x90) return false;  // overlong
      if (lead == 0xF4 && second > 0x8F) return false;  // above U+10FFFF
    }
    i += length;
  }
  return true;
}

bool AllValidUtf8(const FormFields& fields) {
  for (const auto& [name, value] : fields) {
    if (!IsValidUtf8(name) || !IsValidUtf8(value)) return false;
  }
  return true;
}

}  // namespace pelorin::provider
