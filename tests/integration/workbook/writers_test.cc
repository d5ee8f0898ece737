// The same cells written by openpyxl, xlsxwriter and LibreOffice read the
// same: numbers, leading-zero text, Unicode, blank rows, sparse cells,
// several sheets and the active one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/integration/workbook/workbook_files.h"

namespace pelorin::workbook {
namespace {

using ::testing::ElementsAreArray;
using testing::ConvertWithSoffice;
using testing::Dump;
using testing::WorkbookFiles;

// What make_workbooks.py writes, as a spreadsheet shows the values.
const std::vector<std::string> kThreeSheets = {
    "sheet Contacts",
    "Name|Mobile|Code|Amount|",
    "Zoë Ünïcode 日本|919876543210|007|12.5|",
    "||||",
    "Sparse|||0.3|",
    "|1E+20|||1E-10",
    "TRUE|FALSE|2024-01-05|2024-01-05 13:45:00|13:45:00",
    "  spaced  |-42|line one\nline two||",
    "sheet Second",
    "active|",
    "|",
    "|42",
    "sheet Third sheet",
    "||",
    "||third",
    "active Second",
};

const std::vector<std::string> kContactsCsv = {
    "sheet contacts",
    "Name|Mobile|Code|Amount",
    "Zoë Ünïcode 日本|919876543210|007|12.5",
    "|||",
    "Sparse|||0.3",
    "Smith, J|447700900123|0123|-42",
    "|||",
    "||x|",
    "active contacts",
};

// Columns A and C as text, B and D in standard form: how a user would
// import a contact list so that leading zeros survive.
constexpr const char* kCsvImport = "CSV:44,34,76,1,1/2/2/1/3/2/4/1";

class WritersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (WorkbookFiles().empty()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl and xlsxwriter is needed";
  }
  static std::string File(const std::string& name) { return WorkbookFiles() + "/" + name; }
};

TEST_F(WritersTest, OpenpyxlAndXlsxwriterFilesReadTheSame) {
  for (const char* name : {"openpyxl.xlsx", "xlsxwriter.xlsx"}) {
    EXPECT_THAT(Dump(*OpenWorkbook(File(name))), ElementsAreArray(kThreeSheets)) << name;
  }
}

TEST_F(WritersTest, LibreOfficeConversionsOfThemReadTheSame) {
  for (const char* source : {"openpyxl.xlsx", "xlsxwriter.xlsx"}) {
    for (const char* format : {"ods", "xlsx"}) {
      std::string converted = ConvertWithSoffice(source, format);
      if (converted.empty()) GTEST_SKIP() << "soffice is not installed or could not convert";
      std::vector<std::string> expected = kThreeSheets;
      // A headless conversion has no view, so its .ods carries no view
      // settings: no ActiveTable, and the first sheet is the active one.
      if (std::string(format) == "ods") expected.back() = "active Contacts";
      EXPECT_THAT(Dump(*OpenWorkbook(converted)), ElementsAreArray(expected))
          << source << " as " << format;
    }
  }
}

TEST_F(WritersTest, CsvAndItsLibreOfficeConversionsReadTheSame) {
  EXPECT_THAT(Dump(*OpenWorkbook(File("contacts.csv"))), ElementsAreArray(kContactsCsv));
  for (const char* format : {"xlsx", "ods"}) {
    std::string converted = ConvertWithSoffice("contacts.csv", format, kCsvImport);
    if (converted.empty()) GTEST_SKIP() << "soffice is not installed or could not convert";
    EXPECT_THAT(Dump(*OpenWorkbook(converted)), ElementsAreArray(kContactsCsv)) << format;
  }
}

TEST_F(WritersTest, OnlyTheColumnsAskedForAreKeptFromEveryFormat) {
  ReadOptions options;
  options.columns = {2};
  options.only_sheet = 0;
  std::vector<std::string> files = {File("openpyxl.xlsx"), File("contacts.csv")};
  std::string ods = ConvertWithSoffice("openpyxl.xlsx", "ods");
  if (!ods.empty()) files.push_back(ods);
  for (const std::string& file : files) {
    auto workbook = OpenWorkbook(file, options);
    const Worksheet& sheet = workbook->sheet(0);
    EXPECT_EQ(sheet.CellText("B", 2), "919876543210") << file;
    EXPECT_EQ(sheet.CellText("A", 2), "") << file;
    EXPECT_EQ(sheet.CellText("C", 2), "") << file;
    EXPECT_GE(workbook->sheets()[0].used_columns, 4) << file;
  }
}

}  // namespace
}  // namespace pelorin::workbook
