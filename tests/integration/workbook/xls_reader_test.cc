// Excel 97-2003 workbooks: the same texts as the .xlsx of the same cells,
// and one line naming the file for every kind of file it cannot read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "tests/integration/workbook/workbook_files.h"
#include "core/text/utf8.h"
#include "tests/unit/workbook/biff_fixture.h"
#include "workbook/cell_text_limit.h"

namespace pelorin::workbook {
namespace {

using ::testing::ElementsAreArray;
using ::testing::StartsWith;
using testing::CommittedFile;
using testing::ConvertWithSoffice;
using testing::Dump;
using testing::WorkbookFiles;

// make_workbooks.py's three sheets as every reader shows them; the .xls
// committed is LibreOffice's conversion of its openpyxl.xlsx.
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

class Cells : public CellVisitor {
 public:
  void Cell(int column, std::int64_t row, std::string_view text) override {
    seen.push_back(ColumnLetters(column) + std::to_string(row) + "=" + std::string(text));
  }
  std::vector<std::string> seen;
};

// Files the test writes, under their own names, in a folder of their own.
std::string WriteFile(const std::string& name, const std::string& bytes) {
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("pelorin-xls-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream((dir / name).string(), std::ios::binary) << bytes;
  return (dir / name).string();
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ErrorOf(const std::string& path) {
  try {
    OpenWorkbook(path);
  } catch (const WorkbookError& error) {
    return error.what();
  }
  return "no error";
}

TEST(XlsReaderTest, ACommittedWorkbookReadsEverySheetTheActiveOneAndAColumnChoice) {
  std::string file = CommittedFile("three_sheets.xls");
  EXPECT_THAT(Dump(*OpenWorkbook(file)), ElementsAreArray(kThreeSheets));

  ReadOptions options;
  options.columns = {2};
  options.only_sheet = 0;
  auto workbook = OpenWorkbook(file, options);
  EXPECT_EQ(workbook->sheet(0).CellText("B", 2), "919876543210");
  EXPECT_EQ(workbook->sheet(0).CellText("A", 2), "");
  EXPECT_EQ(workbook->sheets()[0].used_columns, 5);
  EXPECT_THROW(workbook->sheet(1), WorkbookError);  // not read

  Cells cells;
  SheetInfo info = StreamSheet(file, cells);  // the active sheet
  EXPECT_EQ(info.name, "Second");
  EXPECT_THAT(cells.seen, ElementsAreArray({"A1=active", "B3=42"}));
}

TEST(XlsReaderTest, LibreOfficeXlsAndXlsxOfTheSameCellsReadTheSame) {
  if (WorkbookFiles().empty()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl and xlsxwriter is needed";
  for (const char* source : {"openpyxl.xlsx", "xlsxwriter.xlsx"}) {
    std::string xls = ConvertWithSoffice(source, "xls");
    std::string xlsx = ConvertWithSoffice(source, "xlsx");
    if (xls.empty() || xlsx.empty()) GTEST_SKIP() << "soffice is not installed or could not convert";
    EXPECT_THAT(Dump(*OpenWorkbook(xls)), ElementsAreArray(Dump(*OpenWorkbook(xlsx)))) << source;
    EXPECT_THAT(Dump(*OpenWorkbook(xls)), ElementsAreArray(kThreeSheets)) << source;
  }
}

// Texts of thousands of characters go on in CONTINUE records, where FreeXL
// gives up on the whole file; they are read as every other reader reads them.
TEST(XlsReaderTest, LongTextsAreReadWhole) {
  std::unique_ptr<Workbook> book = OpenWorkbook(CommittedFile("long_texts.xls"));
  const Worksheet& sheet = book->sheet(0);
  EXPECT_EQ(book->sheets()[0].name, "long_texts");
  EXPECT_EQ(sheet.CellText("A", 2), "919876543210");
  EXPECT_EQ(sheet.CellText("C", 2), std::string(9000, 'a'));
  const std::string wide = sheet.CellText("C", 3);
  EXPECT_EQ(utf8::Decode(wide).size(), 10000u);
  EXPECT_EQ(wide.rfind("नमस्ते दुनिया नमस्ते", 0), 0u) << wide.substr(0, 40);
  EXPECT_EQ(wide.find("\xEF\xBF\xBD"), std::string::npos) << "a character was split";
  EXPECT_EQ(sheet.CellText("B", 4), "Zoë");
  EXPECT_EQ(sheet.CellText("C", 4), "short");
}

TEST(XlsReaderTest, ACellPastTheLongestASpreadsheetHoldsIsRefusedWithItsPlace) {
  using testing::CompoundFileOf;
  using testing::Le16;
  using testing::Le32;
  using testing::Record;
  // One text of `length` characters in C2, its table going on in CONTINUE
  // records of 8,000 characters.
  auto book_with_text_of = [](const std::string& name, std::uint16_t length) {
    std::string records = Record(0x00FC, Le32(1) + Le32(1) + Le16(length) + '\0' +
                                             std::string(std::min<int>(length, 8000), 'a'));
    for (int left = length - 8000; left > 0; left -= 8000) {
      records += Record(0x003C, '\0' + std::string(std::min(left, 8000), 'a'));
    }
    const std::string cell = Record(0x00FD, Le16(1) + Le16(2) + Le16(0) + Le32(0));
    return WriteFile(name, CompoundFileOf({{"Workbook", testing::Stream(records, {{u"Contacts", cell}})}}));
  };
  EXPECT_EQ(OpenWorkbook(book_with_text_of("longest.xls", 32767))->sheet(0).CellText("C", 2),
            std::string(32767, 'a'));
  try {
    OpenWorkbook(book_with_text_of("overlong.xls", 32768));
    ADD_FAILURE() << "a cell of 32,768 characters was taken";
  } catch (const OverlongCellError& error) {
    EXPECT_THAT(error.what(), ::testing::StartsWith(
                                  "overlong.xls: sheet \"Contacts\", row 2, column C: "));
  }
}

TEST(XlsReaderTest, FilesItCannotReadGiveOneLineNamingTheFile) {
  using testing::CompoundFileOf;
  std::string good = Bytes(CommittedFile("three_sheets.xls"));
  std::string no_sector_size = good;
  no_sector_size[30] = 0x0A;
  const struct {
    std::string path;
    const char* expected;
  } cases[] = {
      {CommittedFile("protected.xls"),
       "protected.xls: a password-protected workbook, which cannot be read; save it without a password"},
      // An .xlsx with a password is a container holding the encrypted package.
      {WriteFile("locked.xlsx", CompoundFileOf({{"EncryptionInfo", std::string(200, 'i')},
                                                {"EncryptedPackage", std::string(5000, 'e')}})),
       "locked.xlsx: a password-protected workbook, which cannot be read"},
      {WriteFile("other.doc", CompoundFileOf({{"WordDocument", std::string(300, 'w')}})),
       "other.doc: not a workbook: an Office file holding no spreadsheet"},
      {WriteFile("half.xls", good.substr(0, good.size() / 2)), "half.xls: the file is damaged: "},
      {WriteFile("header.xls", no_sector_size),
       "header.xls: the file is damaged: the header gives an impossible sector size"},
      {WriteFile("records.xls", CompoundFileOf({{"Workbook", "\x09\x08\x10\x00" + std::string(5000, 'x')}})),
       "records.xls: the file is damaged: "},
      {WriteFile("text.xls", "Name,Mobile\n"), "text.xls: not a workbook: the file is not an Excel 97-2003 workbook"},
      // Two cells declaring a 65,536 × 256 sheet: FreeXL would set 16M cells aside.
      {CommittedFile("sparse_corner.xls"),
       "sparse_corner.xls: the sheets declare 16777216 cells (rows × columns) for the 2 they hold"},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(ErrorOf(c.path), StartsWith(c.expected)) << c.path;
    EXPECT_EQ(ErrorOf(c.path).find('\n'), std::string::npos) << c.path;
  }
  std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                              ("pelorin-xls-" + std::to_string(::getpid())));
}

}  // namespace
}  // namespace pelorin::workbook
