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

}  // namespace
}  // namespace pelorin::workbook
