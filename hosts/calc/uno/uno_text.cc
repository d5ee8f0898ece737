#include "hosts/calc/uno/uno_text.h"

namespace pelorin::calc {

rtl::OUString ToUno(std::string_view utf8) {
  return rtl::OUString(utf8.data(), static_cast<sal_Int32>(utf8.size()), RTL_TEXTENCODING_UTF8);
}

std::string ToUtf8(const rtl::OUString& text) {
  // Most cells are ASCII: copied unit by unit without the converter.
  std::string ascii(static_cast<std::size_t>(text.getLength()), '\0');
  bool is_ascii = true;
  for (sal_Int32 i = 0; i < text.getLength(); ++i) {
    sal_Unicode unit = text[i];
    if (unit >= 0x80) {
      is_ascii = false;
      break;
    }
    ascii[static_cast<std::size_t>(i)] = static_cast<char>(unit);
  }
  if (is_ascii) return ascii;
  rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
  return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

rtl::OUString ToEditText(std::string_view utf8) {
  std::string lf;
  lf.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r') {
      lf.push_back('\n');
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else {
      lf.push_back(utf8[i]);
    }
  }
  return ToUno(lf);
}

std::string FromEditText(const rtl::OUString& text) {
  std::string utf8 = ToUtf8(text);
  std::string crlf;
  crlf.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r') {
      crlf += "\r\n";
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else if (utf8[i] == '\n') {
      crlf += "\r\n";
    } else {
      crlf.push_back(utf8[i]);
    }
  }
  return crlf;
}

namespace {

// Walks the model's text one code point at a time, with the UTF-16 units each
// one takes in the edit field (a CR LF pair is one LF there).
template <typename Stop>
void Walk(std::string_view model, Stop stop) {
  int code_points = 0;
  sal_Int32 units = 0;
  std::size_t i = 0;
  while (i < model.size()) {
    if (stop(code_points, units)) return;
    unsigned char lead = static_cast<unsigned char>(model[i]);
    if (lead == '\r' && i + 1 < model.size() && model[i + 1] == '\n') {
      i += 2;
      code_points += 2;
      units += 1;
      continue;
    }
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    i += length;
    code_points += 1;
    units += length == 4 ? 2 : 1;
  }
  stop(code_points, units);
}

}  // namespace

int ModelOffset(std::string_view model, sal_Int32 edit_offset) {
  int answer = -1;
  Walk(model, [&](int code_points, sal_Int32 units) {
    if (answer < 0 && units >= edit_offset) answer = code_points;
    return answer >= 0;
  });
  if (answer < 0) Walk(model, [&](int code_points, sal_Int32) { answer = code_points; return false; });
  return answer;
}

sal_Int32 EditOffset(std::string_view model, int model_offset) {
  sal_Int32 answer = -1;
  Walk(model, [&](int code_points, sal_Int32 units) {
    if (answer < 0 && code_points >= model_offset) answer = units;
    return answer >= 0;
  });
  if (answer < 0) Walk(model, [&](int, sal_Int32 units) { answer = units; return false; });
  return answer;
}

}  // namespace pelorin::calc
