#include <string>
#include <string_view>

#include "workbook/workbook.h"

namespace pelorin::workbook {

std::string ColumnLetters(int column) {
  std::string letters;
  while (column > 0) {
    int digit = (column - 1) % 26;
    letters.insert(letters.begin(), static_cast<char>('A' + digit));
    column = (column - 1) / 26;
  }
  return letters;
}

int ColumnNumber(std::string_view letters) {
  if (!IsValidColumnName(letters)) return 0;
  int number = 0;
  for (char c : letters) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    number = number * 26 + (c - 'A' + 1);
  }
  return number;
}

}  // namespace pelorin::workbook
