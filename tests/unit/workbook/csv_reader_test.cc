#include "workbook/csv_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/workbook/zip_fixture.h"

namespace pelorin::workbook {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using testing::SheetRows;

std::unique_ptr<Workbook> Read(std::string_view text, const ReadOptions& options = {}) {
  return ReadCsv(text, "contacts", "contacts.csv", options);
}

struct CsvCase {
  const char* name;
  std::string text;
  std::int64_t rows;
  int columns;
  std::vector<std::string> expected;
};

TEST(CsvReaderTest, ReadsCellsExactlyAsWritten) {
  const CsvCase cases[] = {
      {"plain LF", "a,b\nc,d\n", 2, 2, {"a|b", "c|d"}},
      {"CRLF", "a,b\r\nc,d\r\n", 2, 2, {"a|b", "c|d"}},
      {"no final line break", "a,b\nc,d", 2, 2, {"a|b", "c|d"}},
      {"byte-order mark", "\xEF\xBB\xBFname,mobile\n", 1, 2, {"name|mobile"}},
      {"quoted comma and quote", "\"Smith, J\",\"say \"\"hi\"\"\"\n", 1, 2,
       {"Smith, J|say \"hi\""}},
      {"line breaks inside quotes", "\"two\r\nlines\",x\n\"a\nb\",y\n", 2, 2,
       {"two\r\nlines|x", "a\nb|y"}},
      {"blank line keeps its row", "a\n\nc\n", 3, 1, {"a", "", "c"}},
      {"ragged rows and trailing comma", "a,b,c\nd,\n,,f\n", 3, 3, {"a|b|c", "d||", "||f"}},
      {"numbers stay as written", "007,+15550001,1.50,1E3, 12 \n", 1, 5,
       {"007|+15550001|1.50|1E3| 12 "}},
      {"unicode", "Zoë,Δέλτα,日本\n", 1, 3, {"Zoë|Δέλτα|日本"}},
      {"empty quoted field", "\"\",x\n", 1, 2, {"|x"}},
      {"text after a closing quote", "\"ab\"cd,e\n", 1, 2, {"abcd|e"}},
      {"quote inside a plain field", "ab\"c,d\n", 1, 2, {"ab\"c|d"}},
      {"lone CR ends a line", "a\rb\r", 2, 1, {"a", "b"}},
  };
  for (const CsvCase& c : cases) {
    auto workbook = Read(c.text);
    ASSERT_EQ(workbook->sheets().size(), 1u) << c.name;
    EXPECT_EQ(workbook->sheets()[0].used_rows, c.rows) << c.name;
    EXPECT_EQ(workbook->sheets()[0].used_columns, c.columns) << c.name;
    EXPECT_THAT(SheetRows(workbook->sheet(0), c.rows, c.columns), ElementsAreArray(c.expected))
        << c.name;
  }
}

TEST(CsvReaderTest, OneSheetNamedAsGivenAndActive) {
  auto workbook = Read("a\n");
  EXPECT_EQ(workbook->sheets()[0].name, "contacts");
  EXPECT_EQ(workbook->active_sheet(), 0);
  EXPECT_THROW(workbook->sheet(1), WorkbookError);
  ReadOptions second;
  second.only_sheet = 1;
  EXPECT_THAT([&] { Read("a\n", second); },
              ::testing::ThrowsMessage<WorkbookError>("contacts.csv: no sheet 2 (the workbook has 1)"));
}

TEST(CsvReaderTest, EmptyInputIsAnEmptySheet) {
  auto workbook = Read("");
  EXPECT_EQ(workbook->sheets()[0].used_rows, 0);
  EXPECT_EQ(workbook->sheet(0).CellText("A", 1), "");
  EXPECT_EQ(workbook->sheet(0).CellText("A", 1000000), "");
}

TEST(CsvReaderTest, UnterminatedQuoteNamesTheLineItOpenedOn) {
  try {
    Read("a,b\n\"two\nlines\",c\nd,\"never closed\ne,f\n");
    FAIL() << "no error";
  } catch (const WorkbookError& error) {
    EXPECT_STREQ(error.what(), "contacts.csv: line 4: unterminated quote");
  }
}

TEST(CsvReaderTest, RefusesUtf16) {
  EXPECT_THAT([] { Read(std::string("\xFF\xFE" "a\0,\0", 6)); },
              ::testing::ThrowsMessage<WorkbookError>(HasSubstr("UTF-16")));
}

TEST(CsvReaderTest, KeepsOnlyTheColumnsAskedForButReportsTheUsedRange) {
  ReadOptions options;
  options.columns = {2};
  auto workbook = Read("a,b,c\nd,e,f\n", options);
  const Worksheet& sheet = workbook->sheet(0);
  EXPECT_EQ(sheet.CellText("A", 1), "");
  EXPECT_EQ(sheet.CellText("B", 2), "e");
  EXPECT_EQ(sheet.CellText("C", 1), "");
  EXPECT_EQ(workbook->sheets()[0].used_columns, 3);
  EXPECT_EQ(workbook->sheets()[0].used_rows, 2);
}

TEST(CsvReaderTest, RefusesAddressesAsTheHostDoes) {
  auto workbook = Read("a\n");
  EXPECT_THROW(workbook->sheet(0).CellText("12", 1), CellAddressError);
  EXPECT_THROW(workbook->sheet(0).CellText("A", 0), CellAddressError);
}

}  // namespace
}  // namespace pelorin::workbook
