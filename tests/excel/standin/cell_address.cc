#include "tests/excel/standin/cell_address.h"

#include <cwctype>
#include <utility>

namespace standin {
namespace {

struct Part {
  long row = 0;     // 0: none given
  long column = 0;  // 0: none given
};

std::optional<Part> ParsePart(std::wstring_view text) {
  std::size_t i = 0;
  Part part;
  if (i < text.size() && text[i] == L'$') ++i;
  std::size_t letters = i;
  while (i < text.size() && std::iswalpha(text[i])) ++i;
  if (i > letters) {
    part.column = ColumnNumber(text.substr(letters, i - letters));
    if (part.column == 0) return std::nullopt;
  }
  if (i < text.size() && text[i] == L'$') ++i;
  std::size_t digits = i;
  long row = 0;
  while (i < text.size() && std::iswdigit(text[i])) {
    row = row * 10 + (text[i] - L'0');
    if (row > kMaxRows) return std::nullopt;
    ++i;
  }
  if (i != text.size()) return std::nullopt;
  if (i > digits) {
    if (row < 1) return std::nullopt;
    part.row = row;
  }
  if (part.row == 0 && part.column == 0) return std::nullopt;
  return part;
}

}  // namespace

long ColumnNumber(std::wstring_view letters) {
  if (letters.empty() || letters.size() > 3) return 0;
  long number = 0;
  for (wchar_t c : letters) {
    c = static_cast<wchar_t>(std::towupper(c));
    if (c < L'A' || c > L'Z') return 0;
    number = number * 26 + (c - L'A' + 1);
  }
  return number <= kMaxColumns ? number : 0;
}

std::optional<Block> ParseReference(std::wstring_view reference) {
  std::size_t colon = reference.find(L':');
  auto first = ParsePart(reference.substr(0, colon));
  if (!first) return std::nullopt;
  Part last = *first;
  if (colon != std::wstring_view::npos) {
    auto second = ParsePart(reference.substr(colon + 1));
    if (!second) return std::nullopt;
    last = *second;
  }
  Block block;
  if (first->row == 0 || last.row == 0) {
    // "C:C": whole columns; both ends must name columns only.
    if (first->row != 0 || last.row != 0 || colon == std::wstring_view::npos) return std::nullopt;
    block = {1, first->column, kMaxRows, last.column};
  } else if (first->column == 0 || last.column == 0) {
    return std::nullopt;  // whole rows are not needed here
  } else {
    block = {first->row, first->column, last.row, last.column};
  }
  if (block.first_row > block.last_row) std::swap(block.first_row, block.last_row);
  if (block.first_column > block.last_column) std::swap(block.first_column, block.last_column);
  return block;
}

}  // namespace standin
