#include "workbook/xlsx_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/workbook/zip_fixture.h"

namespace pelorin::workbook {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using testing::MakeZip;
using testing::SheetRows;
using testing::ZipEntries;

constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string Sheet(const std::string& rows) {
  return std::string("<?xml version=\"1.0\"?><worksheet xmlns=\"") + kMain +
         "\"><sheetData>" + rows + "</sheetData></worksheet>";
}

// A package with the given sheets (name, xml), shared strings and styles.
struct XlsxFixture {
  std::vector<std::pair<std::string, std::string>> sheets;
  std::string shared_strings;
  std::string styles;
  std::string workbook_extra;  // bookViews, workbookPr
  ZipEntries extra_parts;
  bool drop_sheet_parts = false;

  std::string Bytes() const {
    std::string book = std::string("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" + kRel + "\">" +
                       workbook_extra + "<sheets>";
    std::string rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    ZipEntries entries;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
      std::string n = std::to_string(i + 1);
      book += "<sheet name=\"" + sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
      rels += "<Relationship Id=\"rId" + n +
              "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
              "Target=\"worksheets/sheet" + n + ".xml\"/>";
      if (!drop_sheet_parts) entries.push_back({"xl/worksheets/sheet" + n + ".xml", sheets[i].second});
    }
    book += "</sheets></workbook>";
    rels += "<Relationship Id=\"rS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
            "relationships/sharedStrings\" Target=\"/xl/sharedStrings.xml\"/>"
            "<Relationship Id=\"rT\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
            "relationships/styles\" Target=\"styles.xml\"/></Relationships>";
    entries.push_back({"_rels/.rels",
                       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                       "<Relationship Id=\"r1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                       "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
    entries.push_back({"xl/workbook.xml", book});
    entries.push_back({"xl/_rels/workbook.xml.rels", rels});
    if (!shared_strings.empty()) entries.push_back({"xl/sharedStrings.xml", shared_strings});
    if (!styles.empty()) entries.push_back({"xl/styles.xml", styles});
    for (const auto& part : extra_parts) entries.push_back(part);
    return MakeZip(entries);
  }
};

std::unique_ptr<Workbook> Read(const XlsxFixture& fixture, const ReadOptions& options = {}) {
  return ReadXlsx(ZipArchive::OpenBytes(fixture.Bytes(), "book.xlsx"), options);
}

const char* kStrings =
    "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<si><t>plain</t></si>"
    "<si><r><rPr><b/></rPr><t>bold </t></r><r><t xml:space=\"preserve\">and  plain</t></r></si>"
    "<si><t>漢字</t><rPh sb=\"0\" eb=\"2\"><t>かんじ</t></rPh></si>"
    "<si><t>line_x000D_\nbreak</t></si>"
    "<si><t>007</t></si>"
    "</sst>";

TEST(XlsxReaderTest, ReadsEveryKindOfCellValue) {
  XlsxFixture fixture;
  fixture.shared_strings = kStrings;
  fixture.sheets = {{"Data", Sheet(
      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
      "<c r=\"C1\" t=\"s\"><v>2</v></c><c r=\"D1\" t=\"s\"><v>3</v></c><c r=\"E1\" t=\"s\"><v>4</v></c></row>"
      "<row r=\"2\"><c r=\"A2\"><v>919876543210</v></c><c r=\"B2\"><v>0.30000000000000004</v></c>"
      "<c r=\"C2\" t=\"n\"><v>1E+20</v></c><c r=\"D2\"><v>1.0000000000000001E-10</v></c>"
      "<c r=\"E2\"><v>-42</v></c></row>"
      "<row r=\"3\"><c r=\"A3\" t=\"b\"><v>1</v></c><c r=\"B3\" t=\"b\"><v>0</v></c>"
      "<c r=\"C3\" t=\"e\"><v>#DIV/0!</v></c>"
      "<c r=\"D3\" t=\"str\"><f>A1&amp;\"x\"</f><v>plainx</v></c>"
      "<c r=\"E3\"><f>1+1</f><v>2</v></c></row>"
      "<row r=\"4\"><c r=\"A4\" t=\"inlineStr\"><is><t>inline</t></is></c>"
      "<c r=\"B4\" t=\"inlineStr\"><is><r><t>ri</t></r><r><t>ch</t></r></is></c>"
      "<c r=\"C4\" t=\"s\"><v>99</v></c><c r=\"D4\" s=\"0\"/><c r=\"E4\" t=\"d\"><v>2024-01-05T10:30:00</v></c></row>")}};
  auto workbook = Read(fixture);
  EXPECT_THAT(SheetRows(workbook->sheet(0), 4, 5),
              ElementsAre("plain|bold and  plain|漢字|line\r\nbreak|007",
                          "919876543210|0.3|1E+20|1E-10|-42",
                          "TRUE|FALSE|#DIV/0!|plainx|2",
                          "inline|rich|||2024-01-05 10:30:00"));
  EXPECT_EQ(workbook->sheets()[0].name, "Data");
  EXPECT_EQ(workbook->sheets()[0].used_rows, 4);
  EXPECT_EQ(workbook->sheets()[0].used_columns, 5);
}

TEST(XlsxReaderTest, BlanksAroundAStoredValueAreNotPartOfIt) {
  // Other programs write "<v> 41</v>" or break the line inside <v>; a
  // spreadsheet reads the value. Text results keep their blanks.
  XlsxFixture fixture;
  fixture.shared_strings = kStrings;
  fixture.styles =
      "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>";
  const struct {
    const char* cell;
    const char* text;
  } cases[] = {
      {"<c r=\"A1\"><v> 41</v></c>", "41"},
      {"<c r=\"A1\"><v>\n\t919876543210 \r\n</v></c>", "919876543210"},
      {"<c r=\"A1\" t=\"n\"><v> 0.30000000000000004 </v></c>", "0.3"},
      {"<c r=\"A1\" s=\"1\"><v> 45292 </v></c>", "2024-01-01"},
      {"<c r=\"A1\" t=\"b\"><v> 0</v></c>", "FALSE"},
      {"<c r=\"A1\" t=\"s\"><v> 4 </v></c>", "007"},
      {"<c r=\"A1\" t=\"e\"><v> #N/A</v></c>", "#N/A"},
      {"<c r=\"A1\" t=\"str\"><v> padded </v></c>", " padded "},
      {"<c r=\"A1\"><v> </v></c>", ""},
  };
  for (const auto& c : cases) {
    fixture.sheets = {{"S", Sheet(std::string("<row r=\"1\">") + c.cell + "</row>")}};
    EXPECT_EQ(Read(fixture)->sheet(0).CellText("A", 1), c.text) << c.cell;
  }
}

TEST(XlsxReaderTest, ACellPastTheLongestASpreadsheetHoldsIsRefused) {
  XlsxFixture fixture;
  fixture.sheets = {{"Data", Sheet("<row r=\"4\"><c r=\"C4\" t=\"inlineStr\"><is><t>" +
                                   std::string(32768, 'x') + "</t></is></c></row>")}};
  EXPECT_THAT([&] { Read(fixture); },
              ThrowsMessage<WorkbookError>(
                  "book.xlsx: sheet \"Data\", row 4, column C: the cell holds more than 32,767 "
                  "characters, more than a spreadsheet cell can"));
}

TEST(XlsxReaderTest, SparseRowsAndCellsAreEmptyAndReferencesMayBeLeftOut) {
  XlsxFixture fixture;
  fixture.sheets = {{"S", Sheet(
      "<row r=\"2\"><c r=\"C2\"><v>1</v></c></row>"
      "<row r=\"5\"><c r=\"A5\"><v>2</v></c><c r=\"E5\"><v>3</v></c></row>"
      "<row><c><v>4</v></c><c><v>5</v></c></row>")}};
  auto workbook = Read(fixture);
  EXPECT_THAT(SheetRows(workbook->sheet(0), 6, 5),
              ElementsAre("||||", "||1||", "||||", "||||", "2||||3", "4|5|||"));
  EXPECT_EQ(workbook->sheets()[0].used_rows, 6);
}

TEST(XlsxReaderTest, PrefixedNamespacesReadAlike) {
  XlsxFixture fixture;
  fixture.sheets = {{"S", std::string("<x:worksheet xmlns:x=\"") + kMain +
                              "\"><x:sheetData><x:row r=\"1\"><x:c r=\"B1\"><x:v>7</x:v></x:c>"
                              "</x:row></x:sheetData></x:worksheet>"}};
  EXPECT_EQ(Read(fixture)->sheet(0).CellText("B", 1), "7");
}

TEST(XlsxReaderTest, DateStylesShowIsoLikeDates) {
  XlsxFixture fixture;
  fixture.styles =
      "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<numFmts><numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\"/>"
      "<numFmt numFmtId=\"165\" formatCode=\"0.000\"/></numFmts>"
      "<cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs>"
      "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"22\"/><xf numFmtId=\"21\"/>"
      "<xf numFmtId=\"164\"/><xf numFmtId=\"165\"/></cellXfs></styleSheet>";
  fixture.sheets = {{"S", Sheet(
      "<row r=\"1\"><c r=\"A1\" s=\"1\"><v>45292</v></c><c r=\"B1\" s=\"2\"><v>45292.75</v></c>"
      "<c r=\"C1\" s=\"3\"><v>0.5</v></c><c r=\"D1\" s=\"4\"><v>45293</v></c>"
      "<c r=\"E1\" s=\"5\"><v>1.5</v></c><c r=\"F1\" s=\"0\"><v>45292</v></c></row>")}};
  EXPECT_THAT(SheetRows(Read(fixture)->sheet(0), 1, 6),
              ElementsAre("2024-01-01|2024-01-01 18:00:00|12:00:00|2024-01-02|1.5|45292"));
  fixture.workbook_extra = "<workbookPr date1904=\"1\"/>";
  EXPECT_EQ(Read(fixture)->sheet(0).CellText("A", 1), "2028-01-02");
}

TEST(XlsxReaderTest, SheetNamesAndTheActiveTab) {
  XlsxFixture fixture;
  fixture.sheets = {{"First", Sheet("")}, {"Zweite Ü", Sheet("<row r=\"1\"><c r=\"A1\"><v>2</v></c></row>")},
                    {"Third", Sheet("")}};
  fixture.workbook_extra = "<bookViews><workbookView activeTab=\"1\"/></bookViews>";
  auto workbook = Read(fixture);
  ASSERT_EQ(workbook->sheets().size(), 3u);
  EXPECT_EQ(workbook->sheets()[1].name, "Zweite Ü");
  EXPECT_EQ(workbook->active_sheet(), 1);
  EXPECT_EQ(workbook->sheet(1).CellText("A", 1), "2");
  fixture.workbook_extra = "<bookViews><workbookView activeTab=\"9\"/></bookViews>";
  EXPECT_EQ(Read(fixture)->active_sheet(), 0);
  fixture.workbook_extra = "";
  EXPECT_EQ(Read(fixture)->active_sheet(), 0);
}

TEST(XlsxReaderTest, OnlySheetAndColumnsOptions) {
  XlsxFixture fixture;
  fixture.shared_strings = kStrings;
  fixture.sheets = {{"A", Sheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")},
                    {"B", Sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\"><v>2</v></c>"
                                "<c r=\"C1\"><v>3</v></c></row>")}};
  ReadOptions options;
  options.only_sheet = 1;
  options.columns = {1, 3};
  auto workbook = Read(fixture, options);
  EXPECT_THAT(SheetRows(workbook->sheet(1), 1, 3), ElementsAre("plain||3"));
  EXPECT_EQ(workbook->sheets()[1].used_columns, 3);
  EXPECT_EQ(workbook->sheets()[0].name, "A");
  EXPECT_THAT([&] { workbook->sheet(0); }, ThrowsMessage<WorkbookError>(HasSubstr("not read")));
  options.only_sheet = 2;
  EXPECT_THAT([&] { Read(fixture, options); }, ThrowsMessage<WorkbookError>(HasSubstr("no sheet 3")));
}

TEST(XlsxReaderTest, BadPackagesGiveErrorsNamingThePlace) {
  XlsxFixture missing;
  missing.sheets = {{"Data", Sheet("")}};
  missing.drop_sheet_parts = true;
  EXPECT_THAT([&] { Read(missing); },
              ThrowsMessage<WorkbookError>(
                  "book.xlsx: sheet \"Data\": part xl/worksheets/sheet1.xml is missing"));

  XlsxFixture malformed;
  malformed.sheets = {{"Data", Sheet("<row r=\"1\">\n<c r=\"A1\"><v>1</c></row>")}};
  EXPECT_THAT([&] { Read(malformed); },
              ThrowsMessage<WorkbookError>(
                  HasSubstr("book.xlsx: xl/worksheets/sheet1.xml: line 2: malformed XML: mismatched tag")));

  XlsxFixture bad_reference;
  bad_reference.sheets = {{"Data", Sheet("<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>")}};
  EXPECT_THAT([&] { Read(bad_reference); },
              ThrowsMessage<WorkbookError>(HasSubstr("sheet1.xml: line 1: bad cell reference \"1A\"")));

  XlsxFixture doctype;
  doctype.sheets = {{"Data", "<!DOCTYPE lol [<!ENTITY a \"aaaa\">]><worksheet/>"}};
  EXPECT_THAT([&] { Read(doctype); },
              ThrowsMessage<WorkbookError>(HasSubstr("document type declarations are not allowed")));
}

TEST(XlsxReaderTest, RefusesAPartInflatingPastTheCap) {
  XlsxFixture bomb;
  std::string rows;
  for (int row = 1; row <= 20000; ++row) {
    rows += "<row r=\"" + std::to_string(row) + "\"><c r=\"A" + std::to_string(row) + "\"><v>1</v></c></row>";
  }
  bomb.sheets = {{"Data", Sheet(rows)}};
  ReadOptions options;
  options.max_inflated_bytes = 100000;
  EXPECT_THAT([&] { Read(bomb, options); },
              ThrowsMessage<WorkbookError>(
                  "book.xlsx: xl/worksheets/sheet1.xml: inflates to more than 100000 bytes, the "
                  "limit for one part (a decompression bomb?)"));
  EXPECT_EQ(Read(bomb)->sheets()[0].used_rows, 20000);
}

TEST(XlsxReaderTest, DamagedArchivesAreRefused) {
  XlsxFixture fixture;
  fixture.sheets = {{"Data", Sheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")}};
  std::string bytes = fixture.Bytes();
  EXPECT_THAT([&] { ZipArchive::OpenBytes("not a zip at all", "x.xlsx"); },
              ThrowsMessage<WorkbookError>("x.xlsx: not a zip archive"));
  EXPECT_THROW(ZipArchive::OpenBytes(bytes.substr(0, bytes.size() / 2), "x.xlsx"), WorkbookError);
  // Flip bytes inside the compressed data of the first entry (after its local header).
  std::string flipped = bytes;
  for (std::size_t i = 60; i < 90 && i < flipped.size(); ++i) flipped[i] = static_cast<char>(~flipped[i]);
  EXPECT_THROW(ReadXlsx(ZipArchive::OpenBytes(flipped, "x.xlsx"), {}), WorkbookError);
}

// Writes cells down as "B2=text" in the order they come.
class CellList : public CellVisitor {
 public:
  void Cell(int column, std::int64_t row, std::string_view text) override {
    cells.push_back(ColumnLetters(column) + std::to_string(row) + "=" + std::string(text));
  }
  std::vector<std::string> cells;
};

TEST(XlsxReaderTest, StreamingHandsOverTheCellsOfOneSheetInFileOrder) {
  XlsxFixture fixture;
  fixture.shared_strings = kStrings;
  fixture.workbook_extra = "<bookViews><workbookView activeTab=\"1\"/></bookViews>";
  fixture.sheets = {{"First", Sheet("<row r=\"1\"><c r=\"A1\"><v>9</v></c></row>")},
                    {"Second", Sheet("<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c>"
                                     "<c r=\"D2\"><v>1.50</v></c></row>"
                                     "<row r=\"4\"><c r=\"A4\" t=\"b\"><v>1</v></c></row>")}};
  ZipArchive archive = ZipArchive::OpenBytes(fixture.Bytes(), "book.xlsx");
  CellList active;
  SheetInfo info = StreamXlsxSheet(archive, {}, active);
  EXPECT_THAT(active.cells, ElementsAre("B2=plain", "D2=1.5", "A4=TRUE"));
  EXPECT_EQ(info.name, "Second");
  EXPECT_EQ(info.used_rows, 4);
  EXPECT_EQ(info.used_columns, 4);

  ReadOptions first_only;
  first_only.only_sheet = 0;
  first_only.columns = {2};
  CellList first;
  EXPECT_EQ(StreamXlsxSheet(archive, first_only, first).used_columns, 1);
  EXPECT_TRUE(first.cells.empty());  // column A is not asked for
}

TEST(XlsxReaderTest, SheetsInAnotherEncodingAreReadByExpat) {
  XlsxFixture fixture;
  fixture.sheets = {{"Latin", std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                                          "<worksheet xmlns=\"") + kMain +
                                  "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>caf\xE9</t>"
                                  "</is></c></row></sheetData></worksheet>"}};
  EXPECT_EQ(Read(fixture)->sheet(0).CellText("A", 1), "caf\xC3\xA9");
}

}  // namespace
}  // namespace pelorin::workbook
