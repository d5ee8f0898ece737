// A1 references as Excel reads them: "B2", "$B$2", "B2:B1001", "C:C".
#pragma once

#include <optional>
#include <string_view>

namespace standin {

inline constexpr long kMaxRows = 1048576;
inline constexpr long kMaxColumns = 16384;

struct Block {
  long first_row = 1;
  long first_column = 1;
  long last_row = 1;
  long last_column = 1;

  long rows() const { return last_row - first_row + 1; }
  long columns() const { return last_column - first_column + 1; }
};

// Nothing when Excel would refuse the reference.
std::optional<Block> ParseReference(std::wstring_view reference);
// 1 for "A", 28 for "AB"; 0 when not a column name within XFD.
long ColumnNumber(std::wstring_view letters);

}  // namespace standin
