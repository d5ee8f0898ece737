// OpenWorkbook on real files: choosing the reader, and the errors for
// inputs it cannot read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/integration/workbook/workbook_files.h"

namespace pelorin::workbook {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing::WorkbookFiles;

class OpenWorkbookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (WorkbookFiles().empty()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl and xlsxwriter is needed";
  }
  static std::string File(const std::string& name) { return WorkbookFiles() + "/" + name; }

  static std::string ErrorOf(const std::string& name, const ReadOptions& options = {}) {
    try {
      OpenWorkbook(File(name), options);
    } catch (const WorkbookError& error) {
      return error.what();
    }
    return "no error";
  }
};

TEST_F(OpenWorkbookTest, BadInputsGiveOneLineNamingTheFileAndPlace) {
  ReadOptions small_cap;
  small_cap.max_inflated_bytes = 8 << 20;
  const struct {
    const char* file;
    ReadOptions options;
    const char* expected;
  } cases[] = {
      {"absent.xlsx", {}, "absent.xlsx: cannot open: No such file or directory"},
      {"not_a_workbook.xlsx", {}, "not_a_workbook.xlsx: not a workbook: the file is not a zip archive"},
      {"truncated.xlsx", {}, "truncated.xlsx: the zip archive is damaged or truncated"},
      {"other.zip", {}, "other.zip: not a workbook: a zip archive holding no spreadsheet"},
      {"legacy.xls", {}, "legacy.xls: the file is damaged: the header gives an impossible sector size"},
      {"missing_sheet.xlsx", {}, "missing_sheet.xlsx: sheet \"Second\": part xl/worksheets/sheet2.xml is missing"},
      {"malformed.xlsx", {}, "malformed.xlsx: xl/worksheets/sheet1.xml: line 2: malformed XML: mismatched tag"},
      {"bomb.xlsx", small_cap,
       "bomb.xlsx: xl/worksheets/sheet1.xml: inflates to more than 8388608 bytes, the limit for "
       "one part (a decompression bomb?)"},
      {"python.log", {}, "python.log: not a workbook: expected an .xlsx, .xls, .ods or .csv file"},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(ErrorOf(c.file, c.options), StartsWith(c.expected)) << c.file;
  }
  EXPECT_THAT(ErrorOf("."), HasSubstr("is a directory"));
}

TEST_F(OpenWorkbookTest, TheBombReadsUnderTheDefaultCap) {
  auto workbook = OpenWorkbook(File("bomb.xlsx"));
  EXPECT_EQ(workbook->sheet(0).CellText("B", 2), "919876543210");
}

TEST_F(OpenWorkbookTest, ContentDecidesOverAMissingExtension) {
  auto workbook = OpenWorkbook(File("workbook_without_extension"));
  EXPECT_EQ(workbook->sheets().size(), 3u);
  EXPECT_EQ(workbook->sheet(0).CellText("C", 2), "007");
}

TEST_F(OpenWorkbookTest, CsvSheetIsNamedAfterTheFileStem) {
  auto workbook = OpenWorkbook(File("contacts.csv"));
  EXPECT_EQ(workbook->sheets()[0].name, "contacts");
  EXPECT_EQ(workbook->sheet(0).CellText("A", 1), "Name");  // the byte-order mark is gone
}

}  // namespace
}  // namespace pelorin::workbook
