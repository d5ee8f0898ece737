#include "hosts/cli/visible_controls.h"

#include <unistd.h>

#include <iostream>

namespace pelorin::cli {
namespace {

void AppendVisible(std::string& out, unsigned char c) {
  if (c == 0x7F) {
    out += "^?";
  } else if (c < 0x20 && c != '\n' && c != '\t') {
    out += '^';
    out += static_cast<char>(c + 0x40);
  } else {
    out += static_cast<char>(c);
  }
}

void AppendC1(std::string& out, unsigned char second) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "<U+00";
  out += kHex[second >> 4];
  out += kHex[second & 0xF];
  out += '>';
}

bool IsC1Second(unsigned char c) { return c >= 0x80 && c <= 0x9F; }

}  // namespace

std::string MakeControlsVisible(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == 0xC2 && i + 1 < text.size() && IsC1Second(static_cast<unsigned char>(text[i + 1]))) {
      AppendC1(out, static_cast<unsigned char>(text[++i]));
    } else {
      AppendVisible(out, c);
    }
  }
  return out;
}

void VisibleControlsBuffer::Put(std::string_view text) {
  target_->sputn(text.data(), static_cast<std::streamsize>(text.size()));
}

VisibleControlsBuffer::int_type VisibleControlsBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const auto byte = static_cast<unsigned char>(traits_type::to_char_type(c));
  std::string out;
  if (after_c2_) {
    after_c2_ = false;
    if (IsC1Second(byte)) {
      AppendC1(out, byte);
      Put(out);
      return c;
    }
    out += '\xC2';
  }
  if (byte == 0xC2) {
    after_c2_ = true;
  } else {
    AppendVisible(out, byte);
  }
  Put(out);
  return c;
}

int VisibleControlsBuffer::sync() {
  if (after_c2_) {
    after_c2_ = false;
    Put("\xC2");
  }
  return target_->pubsync();
}

bool IsTerminal(const std::ostream& stream) {
  if (&stream == &std::cout) return ::isatty(STDOUT_FILENO) == 1;
  if (&stream == &std::cerr) return ::isatty(STDERR_FILENO) == 1;
  return false;
}

}  // namespace pelorin::cli
