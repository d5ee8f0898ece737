#include "workbook/column_store_sheet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace pelorin::workbook {
namespace {

using ::testing::ElementsAre;

// The same cells read alike however soon a column's offsets turn 64-bit.
TEST(ColumnStoreSheetTest, CellsReadBackBeforeAndAfterOffsetsWiden) {
  for (std::uint64_t limit : {std::uint64_t{std::numeric_limits<std::uint32_t>::max()},
                              std::uint64_t{7}, std::uint64_t{0}}) {
    SCOPED_TRACE(limit);
    ColumnStoreSheet sheet(limit);
    sheet.SetCell(1, 1, "alpha");
    sheet.SetCell(1, 2, "beta");
    sheet.SetCell(1, 5, "gamma");  // rows 3 and 4 left empty
    sheet.SetCell(1, 4, "late");   // out of order: dropped
    sheet.SetCell(3, 2, "c2");
    sheet.SetCell(2, 3, "");
    std::vector<std::string_view> cells;
    sheet.ReadColumn("A", 1, 6, cells);
    EXPECT_THAT(cells, ElementsAre("alpha", "beta", "", "", "gamma", ""));
    cells.clear();
    sheet.ReadColumn("C", 1, 3, cells);
    EXPECT_THAT(cells, ElementsAre("", "c2", ""));
    EXPECT_EQ(sheet.CellText("B", 3), "");
    EXPECT_EQ(sheet.CellText("Z", 1), "");
    EXPECT_EQ(sheet.used_rows(), 5);
    EXPECT_EQ(sheet.used_columns(), 3);
  }
}

// Columns grow in place many times over, and a text longer than the room
// doubling gives; every cell must still read as it was set, in every column,
// after the columns themselves have moved.
TEST(ColumnStoreSheetTest, CellsSurviveTheirColumnsGrowing) {
  ColumnStoreSheet sheet(/*narrow_limit=*/100'000);  // widens part way through
  auto text_of = [](int column, std::int64_t row) {
    if (row == 1234) return std::string(70'000, static_cast<char>('a' + column));
    return std::to_string(column) + ":" + std::to_string(row * 7919);
  };
  constexpr std::int64_t kRows = 20'000;
  for (std::int64_t row = 1; row <= kRows; ++row) {
    // Column 4 is added late, so the columns already there move.
    for (int column = 1; column <= (row < kRows / 2 ? 3 : 4); ++column) {
      if (row % 5 != 0) sheet.SetCell(column, row, text_of(column, row));
    }
  }
  for (const char* letter : {"A", "B", "C", "D"}) {
    const int column = letter[0] - 'A' + 1;
    std::vector<std::string_view> cells;
    sheet.ReadColumn(letter, 1, kRows, cells);
    ASSERT_EQ(cells.size(), static_cast<std::size_t>(kRows));
    for (std::int64_t row = 1; row <= kRows; ++row) {
      const bool set = row % 5 != 0 && (column < 4 || row >= kRows / 2);
      ASSERT_EQ(cells[row - 1], set ? text_of(column, row) : "") << letter << row;
    }
  }
}

}  // namespace
}  // namespace pelorin::workbook
