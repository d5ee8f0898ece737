// Cells over a spreadsheet cell's 32,767 characters, and zip entries whose
// stated size lies: every reader refuses them, naming where they are.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/unit/workbook/zip_fixture.h"
#include "workbook/cell_text_limit.h"
#include "workbook/csv_reader.h"
#include "workbook/ods_reader.h"
#include "workbook/xlsx_reader.h"

namespace pelorin::workbook {
namespace {

using ::testing::HasSubstr;
using testing::MakeZip;

constexpr std::size_t kLimit = 32767;
const std::string kRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";
const std::string kTypeNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

testing::ZipEntries XlsxEntries(const std::string& sheet_data, const std::string& strings) {
  testing::ZipEntries entries = {
      {"_rels/.rels", "<Relationships xmlns=\"" + kRelNs + "\"><Relationship Id=\"r1\" Type=\"" +
                          kTypeNs + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
      {"xl/workbook.xml",
       "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
       "xmlns:r=\"" + kTypeNs.substr(0, kTypeNs.size() - 1) +
           "\"><sheets><sheet name=\"Contacts\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels",
       "<Relationships xmlns=\"" + kRelNs + "\"><Relationship Id=\"rId1\" Type=\"" + kTypeNs +
           "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
           kTypeNs + "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
      {"xl/worksheets/sheet1.xml",
       "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
       "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>" + sheet_data + "</sheetData></worksheet>"}};
  if (!strings.empty()) {
    entries.push_back({"xl/sharedStrings.xml",
                       "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                           strings + "</sst>"});
  }
  return entries;
}

void ReadXlsxBytes(const std::string& bytes) {
  ReadXlsx(ZipArchive::OpenBytes(bytes, "book.xlsx"), {});
}

void ReadXlsxOf(const std::string& sheet_data, const std::string& strings = "") {
  ReadXlsxBytes(MakeZip(XlsxEntries(sheet_data, strings)));
}

std::string InlineCell(const std::string& text) {
  return "<row r=\"2\"><c r=\"C2\" t=\"inlineStr\"><is><t>" + text + "</t></is></c></row>";
}

void ReadOdsOf(const std::string& text) {
  const std::string content =
      "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
      "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
      "<office:spreadsheet><table:table table:name=\"Contacts\"><table:table-row>"
      "<table:table-cell/></table:table-row><table:table-row><table:table-cell/>"
      "<table:table-cell/><table:table-cell table:number-columns-repeated=\"3\"><text:p>" +
      text + "</text:p></table:table-cell></table:table-row></table:table></office:spreadsheet>"
             "</office:body></office:document-content>";
  ReadOds(ZipArchive::OpenBytes(
              MakeZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                       {"content.xml", content}}),
              "book.ods"),
          {});
}

void ReadCsvOf(const std::string& field) {
  ReadCsv("mobile,name,text\n9198,x," + field + "\n", "Contacts", "book.csv", {});
}

struct Reader {
  const char* name;
  std::function<void(const std::string&)> read;  // the text of cell C2, as the format writes it
};

const std::vector<Reader>& Readers() {
  static const std::vector<Reader> readers = {
      {"csv", ReadCsvOf},
      {"csv quoted", [](const std::string& t) { ReadCsvOf("\"" + t + "\""); }},
      {"xlsx inline", [](const std::string& t) { ReadXlsxOf(InlineCell(t)); }},
      {"xlsx shared",
       [](const std::string& t) {
         ReadXlsxOf("<row r=\"2\"><c r=\"C2\" t=\"s\"><v>1</v></c></row>",
                    "<si><t>short</t></si><si><t>" + t + "</t></si>");
       }},
      {"xlsx formula text",
       [](const std::string& t) {
         ReadXlsxOf("<row r=\"2\"><c r=\"C2\" t=\"str\"><f>A1</f><v>" + t + "</v></c></row>");
       }},
      {"ods", ReadOdsOf},
  };
  return readers;
}

TEST(CellLimitTest, EveryReaderTakesACellOfExactlyTheLimit) {
  // Characters, not bytes: "é" takes two bytes, "😀" four.
  for (const std::string& text : {std::string(kLimit, 'a'), Repeat("\xC3\xA9", kLimit),
                                  Repeat("\xF0\x9F\x98\x80", kLimit)}) {
    for (const Reader& reader : Readers()) {
      EXPECT_NO_THROW(reader.read(text)) << reader.name << ", " << text.size() << " bytes";
    }
  }
}

TEST(CellLimitTest, EveryReaderRefusesACellOverTheLimitNamingSheetRowAndColumn) {
  const std::vector<std::string> texts = {
      std::string(kLimit + 1, 'a'), Repeat("\xC3\xA9", kLimit + 1),
      std::string(kMaxCellTextBytes * 3, 'b'),  // long past the point where reading stops
  };
  for (const std::string& text : texts) {
    for (const Reader& reader : Readers()) {
      try {
        reader.read(text);
        ADD_FAILURE() << reader.name << " took " << text.size() << " bytes";
      } catch (const OverlongCellError& error) {
        EXPECT_THAT(error.what(), HasSubstr("sheet \"Contacts\", row 2, column C: "))
            << reader.name;
        EXPECT_THAT(error.what(), HasSubstr("32,767 characters")) << reader.name;
      }
    }
  }
}

TEST(CellLimitTest, EscapesAreCountedAsTheCharactersTheyStandFor) {
  // Seven bytes of "_x0041_" make one "A": the decoded text decides.
  EXPECT_NO_THROW(ReadXlsxOf(InlineCell(Repeat("_x0041_", kLimit))));
  EXPECT_THROW(ReadXlsxOf(InlineCell(Repeat("_x0041_", kLimit + 1))), OverlongCellError);
  EXPECT_THROW(ReadXlsxOf(InlineCell(Repeat("&amp;", kLimit + 1))), OverlongCellError);
  EXPECT_THROW(ReadCsvOf("\"" + Repeat("\"\"", kLimit + 1) + "\""), OverlongCellError);
  // Bytes that are no characters at all (XML readers refuse them as such).
  EXPECT_THROW(ReadCsvOf(std::string(kMaxCellTextBytes * 3, '\x80')), OverlongCellError);
}

TEST(CellLimitTest, SharedStringsAfterAnOverlongOneAreNotReadButNotGuessedEither) {
  const std::string strings = "<si><t>short</t></si><si><t>" +
                              std::string(kMaxCellTextBytes + 10, 'x') +
                              "</t></si><si><t>after</t></si>";
  // Cells using only the strings before it read as usual.
  EXPECT_NO_THROW(ReadXlsxOf("<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c></row>", strings));
  try {
    ReadXlsxOf("<row r=\"4\"><c r=\"D4\" t=\"s\"><v>2</v></c></row>", strings);
    FAIL() << "a cell whose string was never read was taken";
  } catch (const OverlongCellError& error) {
    EXPECT_THAT(error.what(), HasSubstr("sheet \"Contacts\", row 4, column D: "));
  }
}

TEST(RowLimitTest, ACsvLongerThanASheetIsReadWholeNotCut) {
  // A spreadsheet stops at row 1,048,576; a text file does not, and no row
  // of it may be dropped without a word.
  constexpr std::int64_t kRows = 1'048'576 + 3;
  std::string text;
  text.reserve(static_cast<std::size_t>(kRows) * 3);
  for (std::int64_t row = 1; row < kRows; ++row) text += "1\n";
  text += "last\n";
  auto book = ReadCsv(text, "Contacts", "book.csv", {});
  EXPECT_EQ(book->sheets()[0].used_rows, kRows);
  EXPECT_EQ(book->sheet(0).CellText("A", kRows), "last");
}

// The local header's and the central directory's uncompressed size of the
// entry `name`, both set to `size`, as a forged package would have them.
std::string WithStatedSize(std::string zip, const std::string& name, std::uint32_t size) {
  struct Record {
    std::string signature;
    std::size_t size_at, name_length_at, name_at;
  };
  for (const Record& record : {Record{"PK\x03\x04", 22, 26, 30}, Record{"PK\x01\x02", 24, 28, 46}}) {
    for (std::size_t at = zip.find(record.signature); at != std::string::npos;
         at = zip.find(record.signature, at + 4)) {
      auto byte = [&](std::size_t i) { return static_cast<unsigned char>(zip[at + i]); };
      const std::size_t length = byte(record.name_length_at) | byte(record.name_length_at + 1) << 8;
      if (zip.compare(at + record.name_at, length, name) != 0) continue;
      for (int i = 0; i < 4; ++i) zip[at + record.size_at + i] = static_cast<char>(size >> (8 * i));
    }
  }
  return zip;
}

TEST(ZipSizeTest, APartInflatingToMoreOrLessThanItsEntryStatesIsDamaged) {
  const std::string sheet_data =
      InlineCell(std::string(5000, 'a')) + "<row r=\"3\"><c r=\"A3\"><v>2</v></c></row>";
  const testing::ZipEntries entries = XlsxEntries(sheet_data, "");
  const std::size_t real_size = entries[3].second.size();
  ASSERT_EQ(entries[3].first, "xl/worksheets/sheet1.xml");
  ASSERT_NO_THROW(ReadXlsxBytes(WithStatedSize(MakeZip(entries), entries[3].first,
                                               static_cast<std::uint32_t>(real_size))));
  for (std::uint32_t stated : {std::uint32_t{1024}, static_cast<std::uint32_t>(real_size + 1)}) {
    try {
      ReadXlsxBytes(WithStatedSize(MakeZip(entries), entries[3].first, stated));
      ADD_FAILURE() << "stated " << stated << ": read as if whole";
    } catch (const WorkbookError& error) {
      EXPECT_THAT(error.what(), HasSubstr("book.xlsx: xl/worksheets/sheet1.xml: damaged"));
      EXPECT_THAT(error.what(), HasSubstr(std::to_string(stated) + " bytes its zip entry states"));
    }
  }
}

}  // namespace
}  // namespace pelorin::workbook
