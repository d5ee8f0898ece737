#include "core/text/replace.h"

#include <algorithm>

namespace pelorin {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string ReplaceWith(std::string text, std::string_view token, std::string_view value,
                        bool ignore_case) {
  if (token.empty()) return text;
  auto equal = [ignore_case](char a, char b) { return ignore_case ? Lower(a) == Lower(b) : a == b; };
  std::string out;
  out.reserve(text.size());
  auto it = text.begin();
  while (true) {
    auto found = std::search(it, text.end(), token.begin(), token.end(), equal);
    out.append(it, found);
    if (found == text.end()) break;
    out.append(value);
    it = found + static_cast<std::ptrdiff_t>(token.size());
  }
  return out;
}

}  // namespace

std::string ReplaceAll(std::string text, std::string_view token, std::string_view value) {
  return ReplaceWith(std::move(text), token, value, false);
}

std::string ReplaceAllIgnoreCase(std::string text, std::string_view token, std::string_view value) {
  return ReplaceWith(std::move(text), token, value, true);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view TrimSpaces(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace pelorin
