#include "workbook/sheet_builder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "workbook/csv_reader.h"

namespace pelorin::workbook {
namespace {

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(SheetBuilderTest, ACellHoldsAtMost32767CharactersNotBytes) {
  const struct {
    std::string text;
    bool fits;
  } cases[] = {
      {Repeat("a", 32767), true},
      {Repeat("a", 32768), false},
      {Repeat("é", 32767), true},    // 65,534 bytes
      {Repeat("日", 32767), true},   // 98,301 bytes
      {Repeat("é", 32768), false},
  };
  for (const auto& c : cases) {
    SheetBuilder builder({});
    if (c.fits) {
      builder.Put(2, 3, c.text);
      EXPECT_EQ(builder.Take()->CellText("B", 3), c.text);
    } else {
      EXPECT_THROW(builder.Put(2, 3, c.text), OverlongCellError) << c.text.size();
    }
  }
}

TEST(SheetBuilderTest, ALongCellIsRefusedNamingTheFileRowAndColumn) {
  std::string csv = "Name,Mobile\nx," + Repeat("9", 40000) + "\n";
  try {
    ReadCsv(csv, "contacts", "contacts.csv", {});
    ADD_FAILURE() << "no error";
  } catch (const WorkbookError& error) {
    EXPECT_STREQ(error.what(),
                 "contacts.csv: sheet \"contacts\", row 2, column B: the cell holds more than "
                 "32,767 characters, more than a spreadsheet cell can");
  }
}

}  // namespace
}  // namespace pelorin::workbook
