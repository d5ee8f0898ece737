#include "core/storage/value_file_format.h"

#include <cstdint>

#include "core/text/whole_number.h"

namespace pelorin {
namespace {

// "pelorin-value 1 <length> <checksum>\n" and then the value's bytes.
constexpr std::string_view kMagic = "pelorin-value 1 ";

std::uint64_t Checksum(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char byte : bytes) {
    hash ^= byte;
    hash *= 1099511628211ull;
  }
  return hash;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Takes one framed value off the front of `contents`; nothing when the frame
// is cut short or damaged.
std::optional<std::string_view> TakeFrame(std::string_view& contents) {
  std::string_view rest = contents;
  if (rest.substr(0, kMagic.size()) != kMagic) return std::nullopt;
  rest.remove_prefix(kMagic.size());
  size_t space = rest.find(' ');
  size_t newline = rest.find('\n');
  if (space == std::string_view::npos || newline == std::string_view::npos || space > newline) {
    return std::nullopt;
  }
  size_t length = 0;
  std::uint64_t checksum = 0;
  if (!ParseWholeNumber(rest.substr(0, space), length) ||
      !ParseWholeNumber(rest.substr(space + 1, newline - space - 1), checksum, 16)) {
    return std::nullopt;
  }
  rest.remove_prefix(newline + 1);
  if (rest.size() < length) return std::nullopt;
  std::string_view value = rest.substr(0, length);
  if (Checksum(value) != checksum) return std::nullopt;
  contents = rest.substr(length);
  return value;
}

}  // namespace

std::string ValueFileName(std::string_view value_name) {
  if (value_name.empty()) return "%";
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string file_name;
  for (unsigned char c : value_name) {
    bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                c == '_' || c == '-';
    if (kept) {
      file_name += static_cast<char>(c);
    } else {
      file_name += '%';
      file_name += kDigits[c >> 4];
      file_name += kDigits[c & 0xF];
    }
  }
  return file_name;
}

std::optional<std::string> ValueNameOfFile(std::string_view file_name) {
  if (file_name == "%") return std::string();
  std::string name;
  for (std::size_t i = 0; i < file_name.size(); ++i) {
    if (file_name[i] != '%') {
      name += file_name[i];
      continue;
    }
    if (i + 2 >= file_name.size()) return std::nullopt;
    const int high = HexDigit(file_name[i + 1]);
    const int low = HexDigit(file_name[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    name += static_cast<char>(high * 16 + low);
    i += 2;
  }
  // Only the one spelling ValueFileName gives: "a%62" or "x.y" are not ours.
  if (ValueFileName(name) != file_name) return std::nullopt;
  return name;
}

std::string EncodeValueFile(std::string_view value) {
  std::string contents(kMagic);
  contents += std::to_string(value.size());
  contents += ' ';
  contents += HexText(Checksum(value));
  contents += '\n';
  contents += value;
  return contents;
}

std::optional<std::string> DecodeValueFile(std::string_view contents) {
  std::optional<std::string_view> value = TakeFrame(contents);
  if (!value || !contents.empty()) return std::nullopt;
  return std::string(*value);
}

std::optional<std::string> DecodeAppendedValueFile(std::string_view contents) {
  std::optional<std::string_view> first = TakeFrame(contents);
  if (!first) return std::nullopt;
  std::string value(*first);
  while (std::optional<std::string_view> appended = TakeFrame(contents)) value += *appended;
  return value;
}

}  // namespace pelorin
