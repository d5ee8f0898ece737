#include "workbook/ods_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/unit/workbook/zip_fixture.h"
#include "workbook/ods_content.h"

namespace pelorin::workbook {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using testing::MakeZip;
using testing::SheetRows;

std::string Content(const std::string& tables) {
  return "<?xml version=\"1.0\"?><office:document-content "
         "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
         "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
         "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\">"
         "<office:body><office:spreadsheet>" + tables +
         "</office:spreadsheet></office:body></office:document-content>";
}

std::string Settings(const std::string& active) {
  return "<office:document-settings xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\"><office:settings>"
         "<config:config-item-set config:name=\"ooo:view-settings\">"
         "<config:config-item-map-indexed config:name=\"Views\"><config:config-item-map-entry>"
         "<config:config-item config:name=\"ViewId\" config:type=\"string\">view1</config:config-item>"
         "<config:config-item config:name=\"ActiveTable\" config:type=\"string\">" + active +
         "</config:config-item></config:config-item-map-entry></config:config-item-map-indexed>"
         "</config:config-item-set></office:settings></office:document-settings>";
}

std::unique_ptr<Workbook> Read(const std::string& content, const std::string& settings = "",
                               const ReadOptions& options = {}) {
  testing::ZipEntries entries = {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                 {"content.xml", content}};
  if (!settings.empty()) entries.push_back({"settings.xml", settings});
  return ReadOds(ZipArchive::OpenBytes(MakeZip(entries), "book.ods"), options);
}

std::string Table(const std::string& name, const std::string& rows) {
  return "<table:table table:name=\"" + name + "\"><table:table-column/>" + rows + "</table:table>";
}

// One row of each value type, and the ways a cell's text is written.
std::string EveryValueTypeTable() {
  return Table("Data",
      "<table:table-row>"
      "<table:table-cell office:value-type=\"float\" office:value=\"919876543210\"><text:p>9.19877E+11</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"percentage\" office:value=\"0.125\"><text:p>12.50%</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"currency\" office:currency=\"EUR\" office:value=\"3.5\"><text:p>€3.50</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"date\" office:date-value=\"2024-01-05\"><text:p>05/01/24</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"date\" office:date-value=\"2024-01-05T13:45:00\"><text:p>x</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"time\" office:time-value=\"PT13H45M00S\"><text:p>01:45 PM</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"><text:p>TRUE</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"false\"><text:p>FALSE</text:p></table:table-cell>"
      "</table:table-row><table:table-row>"
      "<table:table-cell office:value-type=\"string\"><text:p>007</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><text:p>first</text:p><text:p>second <text:span>span</text:span></text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><text:p>a<text:s text:c=\"3\"/>b<text:tab/>c<text:line-break/>d<text:s/>e</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><office:annotation><text:p>a comment</text:p></office:annotation><text:p>shown</text:p></table:table-cell>"
      "<table:table-cell table:formula=\"of:=1/0\" office:value-type=\"float\" office:value=\"0\" calcext:value-type=\"error\"><text:p>#DIV/0!</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"float\" office:value=\"1E-10\"/>"
      "<table:table-cell office:value-type=\"string\"><text:p>Zoë 日本</text:p></table:table-cell>"
      "<table:table-cell/>"
      "</table:table-row><table:table-row>"
      "<table:table-cell table:formula=\"of:=TRUE()\" office:value-type=\"float\" office:value=\"1\"><text:p>TRUE</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"float\" office:value=\"0\"><text:p>FALSE</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"float\" office:value=\"1\"><text:p>1.00</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"float\" office:value=\"2\"><text:p>TRUE</text:p></table:table-cell>"
      "</table:table-row>");
}

TEST(OdsReaderTest, ReadsEveryValueType) {
  auto workbook = Read(Content(EveryValueTypeTable()));
  EXPECT_THAT(SheetRows(workbook->sheet(0), 3, 8),
              ElementsAre("919876543210|0.125|3.5|2024-01-05|2024-01-05 13:45:00|13:45:00|TRUE|FALSE",
                          "007|first\nsecond span|a   b\tc\nd e|shown|#DIV/0!|1E-10|Zoë 日本|",
                          "TRUE|FALSE|1|2||||"));
  EXPECT_EQ(workbook->sheets()[0].name, "Data");
  EXPECT_EQ(workbook->sheets()[0].used_columns, 8);
}

TEST(OdsReaderTest, RepeatedRowsAndCellsAreExpandedButTrailingBlanksOnlyCounted) {
  auto workbook = Read(Content(Table("S",
      "<table:table-row table:number-rows-repeated=\"2\">"
      "<table:table-cell table:number-columns-repeated=\"2\" office:value-type=\"float\" office:value=\"5\"/>"
      "<table:table-cell/><table:covered-table-cell/>"
      "<table:table-cell office:value-type=\"string\"><text:p>x</text:p></table:table-cell>"
      "<table:table-cell table:number-columns-repeated=\"16379\"/></table:table-row>"
      "<table:table-row table:number-rows-repeated=\"3\"><table:table-cell table:number-columns-repeated=\"1024\"/></table:table-row>"
      "<table:table-row><table:table-cell table:number-columns-repeated=\"2\"/>"
      "<table:table-cell office:value-type=\"string\"><text:p>late</text:p></table:table-cell></table:table-row>"
      "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell table:number-columns-repeated=\"16384\"/></table:table-row>")));
  EXPECT_THAT(SheetRows(workbook->sheet(0), 7, 5),
              ElementsAre("5|5|||x", "5|5|||x", "||||", "||||", "||||", "||late||", "||||"));
  EXPECT_EQ(workbook->sheets()[0].used_rows, 6);
  EXPECT_EQ(workbook->sheets()[0].used_columns, 5);
}

TEST(OdsReaderTest, RefusesRepeatsThatWouldFillMemory) {
  std::string huge = Table("S",
      "<table:table-row table:number-rows-repeated=\"1048576\">"
      "<table:table-cell table:number-columns-repeated=\"16384\" office:value-type=\"float\" office:value=\"1\"/>"
      "</table:table-row>");
  EXPECT_THAT([&] { Read(Content(huge)); },
              ThrowsMessage<WorkbookError>(HasSubstr("book.ods: content.xml: line 1: repeated cells ask for more than")));
}

TEST(OdsReaderTest, SheetsAndTheActiveTableFromSettings) {
  std::string tables = Table("One", "") + Table("Two", "<table:table-row><table:table-cell "
                                                       "office:value-type=\"float\" office:value=\"2\"/></table:table-row>") +
                       Table("Three", "");
  auto workbook = Read(Content(tables), Settings("Two"));
  ASSERT_EQ(workbook->sheets().size(), 3u);
  EXPECT_EQ(workbook->sheets()[2].name, "Three");
  EXPECT_EQ(workbook->active_sheet(), 1);
  EXPECT_EQ(workbook->sheet(1).CellText("A", 1), "2");
  EXPECT_EQ(Read(Content(tables))->active_sheet(), 0);
  EXPECT_EQ(Read(Content(tables), Settings("Gone"))->active_sheet(), 0);

  ReadOptions options;
  options.only_sheet = 1;
  auto only = Read(Content(tables), "", options);
  EXPECT_EQ(only->sheet(1).CellText("A", 1), "2");
  EXPECT_THROW(only->sheet(0), WorkbookError);
}

TEST(OdsReaderTest, KeepsOnlyTheColumnsAskedFor) {
  ReadOptions options;
  options.columns = {2};
  auto workbook = Read(Content(Table("S",
      "<table:table-row><table:table-cell table:number-columns-repeated=\"3\" "
      "office:value-type=\"float\" office:value=\"4\"/></table:table-row>")), "", options);
  EXPECT_THAT(SheetRows(workbook->sheet(0), 1, 3), ElementsAre("|4|"));
  EXPECT_EQ(workbook->sheets()[0].used_columns, 3);
}

// The same document in UTF-16 (little-endian, with a byte-order mark, its
// declaration saying so): such a content.xml is read by expat rather than
// by the scanner.
std::string Utf16(std::string utf8) {
  if (std::size_t at = utf8.find("encoding=\"UTF-8\""); at != std::string::npos) {
    utf8.replace(at, 16, "encoding=\"UTF-16\"");
  }
  std::string out = "\xFF\xFE";
  auto put = [&out](std::uint32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  };
  for (std::size_t i = 0; i < utf8.size();) {
    auto byte = static_cast<unsigned char>(utf8[i]);
    int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    std::uint32_t code = length == 1 ? byte : byte & (0x7F >> length);
    for (int k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += static_cast<std::size_t>(length);
    if (code < 0x10000) {
      put(code);
    } else {
      put(0xD800 + ((code - 0x10000) >> 10));
      put(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
  }
  return out;
}

// Every sheet's name, used range and cells, and the active sheet, as text.
std::string Describe(const Workbook& workbook) {
  std::string text = "active " + std::to_string(workbook.active_sheet()) + "\n";
  for (std::size_t i = 0; i < workbook.sheets().size(); ++i) {
    const SheetInfo& info = workbook.sheets()[i];
    text += info.name + " " + std::to_string(info.used_rows) + "x" + std::to_string(info.used_columns) + "\n";
    try {
      for (const std::string& row : SheetRows(workbook.sheet(static_cast<int>(i)), info.used_rows,
                                              info.used_columns)) {
        text += row + "\n";
      }
    } catch (const WorkbookError&) {
      text += "(not read)\n";
    }
  }
  return text;
}

// Documents as LibreOffice writes them and as other writers may: the
// scanner must read each one to the same workbook as expat.
const std::string& SampleContents(std::size_t index) {
  static const std::vector<std::string> contents = {
      Content(EveryValueTypeTable()),
      Content(Table("One", "<table:table-row table:number-rows-repeated=\"2\">"
                           "<table:table-cell table:number-columns-repeated=\"2\" office:value-type=\"float\" office:value=\"5\"/>"
                           "<table:table-cell/><table:covered-table-cell/>"
                           "<table:table-cell office:value-type=\"string\"><text:p>x</text:p></table:table-cell>"
                           "</table:table-row>") +
              Table("Two", "<table:table-row><table:table-cell table:number-columns-repeated=\"3\"/>"
                           "<table:table-cell office:value-type=\"string\" calcext:value-type=\"string\">"
                           "<text:p>late</text:p></table:table-cell></table:table-row>")),
      // Entities, character references, CDATA, comments, line breaks inside
      // tags, single quotes, an attribute-decided string and a heading.
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content xmlns:office=\"o\" "
      "xmlns:table=\"t\" xmlns:text=\"x\" xmlns:calcext=\"c\"><office:body><office:spreadsheet>\n"
      "<table:table table:name='A &amp; B'><!-- rows follow -->\n<table:table-row>\n"
      "<table:table-cell\n office:value-type=\"string\"><text:p>a &lt;b&gt; &#233;&#x1F600;</text:p>"
      "</table:table-cell><table:table-cell office:value-type='string' office:string-value='x&quot;y'>"
      "<text:p>ignored</text:p></table:table-cell><table:table-cell office:value-type=\"string\">"
      "<text:p><![CDATA[<raw> & ]]></text:p><text:h>head</text:h></table:table-cell>"
      "<table:table-cell calcext:value-type=\"error\" office:value-type=\"float\" office:value=\"0\">"
      "<text:p>#N/A</text:p></table:table-cell><table:table-cell office:value-type=\"float\" "
      "office:value=\"3.0000000000000004E-2\"><text:p>0.03</text:p></table:table-cell>"
      "</table:table-row>\r\n<table:table-row><table:table-cell><table:table table:name=\"inner\">"
      "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>nested</text:p>"
      "</table:table-cell></table:table-row></table:table><text:p>outer</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><text:p>n<text:note><text:note-body><text:p>foot"
      "</text:p></text:note-body></text:note>b</text:p></table:table-cell></table:table-row>"
      "</table:table></office:spreadsheet></office:body></office:document-content>",
      // No prefixes at all, as a writer with a default namespace may emit.
      "<document-content xmlns=\"urn:x\"><body><spreadsheet><table name=\"Plain\"><table-row>"
      "<table-cell value-type=\"float\" value=\"12\"><p>12.00</p></table-cell>"
      "<table-cell value-type=\"string\"><p>word</p></table-cell></table-row></table></spreadsheet>"
      "</body></document-content>",
  };
  return contents[index];
}
constexpr std::size_t kSampleContents = 4;

TEST(OdsReaderTest, ScannerReadsAsExpatDoesOnTheSameFiles) {
  std::vector<ReadOptions> options(3);
  options[1].columns = {2, 4};
  options[2].only_sheet = 1;
  for (std::size_t i = 0; i < kSampleContents; ++i) {
    const std::string& content = SampleContents(i);
    for (std::size_t k = 0; k < options.size(); ++k) {
      SCOPED_TRACE("document " + std::to_string(i) + ", options " + std::to_string(k));
      if (k == 2 && i != 1) continue;  // only one document has a second sheet
      std::string scanned = Describe(*Read(content, "", options[k]));
      EXPECT_EQ(scanned, Describe(*Read(Utf16(content), "", options[k])));
      EXPECT_THAT(scanned, HasSubstr("|")) << "no cells were read";
    }
  }
  EXPECT_THAT(Describe(*Read(SampleContents(2))),
              HasSubstr("A & B 2x5\na <b> é😀|x\"y|<raw> & \nhead|#N/A|0.03\nouter|nb|||\n"));
  EXPECT_THAT(Describe(*Read(SampleContents(3))), HasSubstr("Plain 1x2\n12|word\n"));
}

// Cells as a visitor meets them, one "B3=text" a cell.
class CellList : public CellVisitor {
 public:
  void Cell(int column, std::int64_t row, std::string_view text) override {
    cells.push_back(ColumnLetters(column) + std::to_string(row) + "=" + std::string(text));
  }
  std::vector<std::string> cells;
};

// The same cells taken from a sheet read whole, row by row, left to right.
std::vector<std::string> StoredCells(const Workbook& workbook, int index) {
  const SheetInfo& info = workbook.sheets()[index];
  std::vector<std::string> cells;
  for (std::int64_t row = 1; row <= info.used_rows; ++row) {
    for (int column = 1; column <= info.used_columns; ++column) {
      std::string text = workbook.sheet(index).CellText(ColumnLetters(column), row);
      if (!text.empty()) cells.push_back(ColumnLetters(column) + std::to_string(row) + "=" + text);
    }
  }
  return cells;
}

// A sheet streamed is the active or asked-for sheet of the workbook read
// whole, cell for cell and in the same order, whichever parser reads it.
TEST(OdsReaderTest, AStreamedSheetIsTheSheetReadWhole) {
  std::vector<ReadOptions> options(4);
  options[1].columns = {2, 4};
  options[2].only_sheet = 0;
  options[3].only_sheet = 1;
  std::string duplicates = Content(
      Table("A", "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>a</text:p></table:table-cell></table:table-row>") +
      Table("Dup", "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>first</text:p></table:table-cell></table:table-row>") +
      Table("Dup", "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>second</text:p></table:table-cell></table:table-row>"));
  std::vector<std::string> contents;
  for (std::size_t i = 0; i < kSampleContents; ++i) contents.push_back(SampleContents(i));
  contents.push_back(duplicates);
  for (std::size_t i = 0; i < contents.size(); ++i) {
    // No settings, an active table that exists, one that does not.
    for (std::string settings : {std::string(), Settings("Two"), Settings("Dup"), Settings("Gone")}) {
      for (std::size_t k = 0; k < options.size(); ++k) {
        for (const std::string& content : {contents[i], Utf16(contents[i])}) {
          SCOPED_TRACE("document " + std::to_string(i) + ", options " + std::to_string(k) + ", " +
                       settings.substr(settings.size() > 120 ? settings.size() - 120 : 0, 60));
          testing::ZipEntries entries = {{"content.xml", content}};
          if (!settings.empty()) entries.push_back({"settings.xml", settings});
          auto archive = ZipArchive::OpenBytes(MakeZip(entries), "book.ods");
          std::unique_ptr<Workbook> whole;
          try {
            whole = ReadOds(archive, options[k]);
          } catch (const WorkbookError& error) {
            CellList ignored;
            EXPECT_THAT([&] { StreamOdsSheet(archive, options[k], ignored); },
                        ThrowsMessage<WorkbookError>(std::string(error.what())));
            continue;
          }
          int index = options[k].only_sheet.value_or(whole->active_sheet());
          CellList streamed;
          SheetInfo info = StreamOdsSheet(archive, options[k], streamed);
          EXPECT_EQ(streamed.cells, StoredCells(*whole, index));
          EXPECT_EQ(info.name, whole->sheets()[index].name);
          EXPECT_EQ(info.used_rows, whole->sheets()[index].used_rows);
          EXPECT_EQ(info.used_columns, whole->sheets()[index].used_columns);
        }
      }
    }
  }
  auto archive = ZipArchive::OpenBytes(
      MakeZip({{"content.xml", duplicates}, {"settings.xml", Settings("Dup")}}), "book.ods");
  CellList streamed;
  EXPECT_EQ(StreamOdsSheet(archive, {}, streamed).name, "Dup");
  EXPECT_THAT(streamed.cells, ElementsAre("A1=first"));
  EXPECT_EQ(ReadOds(archive, {})->active_sheet(), 1);
}

// Cells of columns not kept are not stored, but still count in the used
// range exactly as when every column is read.
TEST(OdsReaderTest, ColumnsNotKeptStillCountInTheUsedRange) {
  for (std::size_t i = 0; i < kSampleContents; ++i) {
    SCOPED_TRACE("document " + std::to_string(i));
    auto all = Read(SampleContents(i));
    for (std::set<int> columns : {std::set<int>{1}, std::set<int>{2}, std::set<int>{3, 5}}) {
      ReadOptions options;
      options.columns = columns;
      auto some = Read(SampleContents(i), "", options);
      ASSERT_EQ(some->sheets().size(), all->sheets().size());
      for (std::size_t s = 0; s < all->sheets().size(); ++s) {
        const SheetInfo& info = all->sheets()[s];
        EXPECT_EQ(some->sheets()[s].used_rows, info.used_rows);
        EXPECT_EQ(some->sheets()[s].used_columns, info.used_columns);
        for (int column = 1; column <= info.used_columns; ++column) {
          std::string letters = ColumnLetters(column);
          for (std::int64_t row = 1; row <= info.used_rows; ++row) {
            std::string expected = columns.count(column) ? all->sheet(static_cast<int>(s)).CellText(letters, row) : "";
            EXPECT_EQ(some->sheet(static_cast<int>(s)).CellText(letters, row), expected)
                << letters << row;
          }
        }
      }
    }
  }
}

// The file and the sheet are named, whether the scanner or expat (a UTF-16
// part) reads the table, and however the long text is written.
TEST(OdsReaderTest, ACellPastTheLongestASpreadsheetHoldsIsRefused) {
  const std::string half(16384, 'x');
  const std::string cells[] = {
      "<table:table-cell office:value-type=\"string\"><text:p>" + std::string(32768, 'x') +
          "</text:p></table:table-cell>",
      // Two paragraphs joined by a line break: 32,769 characters.
      "<table:table-cell office:value-type=\"string\"><text:p>" + half + "</text:p><text:p>" +
          half + "</text:p></table:table-cell>",
      "<table:table-cell office:value-type=\"string\" office:string-value=\"" +
          std::string(32768, 'y') + "\"><text:p>short</text:p></table:table-cell>",
  };
  for (const std::string& cell : cells) {
    std::string content = Content(
        Table("First", "<table:table-row><table:table-cell/></table:table-row>") +
        Table("Data", "<table:table-row table:number-rows-repeated=\"3\"><table:table-cell/></table:table-row>"
                      "<table:table-row><table:table-cell table:number-columns-repeated=\"2\"/>" +
                          cell + "</table:table-row>"));
    for (const std::string& part : {content, Utf16(content)}) {
      EXPECT_THAT([&] { Read(part); },
                  ThrowsMessage<WorkbookError>(
                      "book.ods: sheet \"Data\", row 4, column C: the cell holds more than 32,767 "
                      "characters, more than a spreadsheet cell can"))
          << cell.substr(0, 80);
    }
  }
}

TEST(OdsReaderTest, MalformedOrMissingContentIsRefused) {
  EXPECT_THAT([] { Read("<office:document-content>\n<unclosed>"); },
              ThrowsMessage<WorkbookError>(HasSubstr("book.ods: content.xml: line ")));
  auto no_content = MakeZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}});
  EXPECT_THAT([&] { ReadOds(ZipArchive::OpenBytes(no_content, "book.ods"), {}); },
              ThrowsMessage<WorkbookError>("book.ods: not an ods spreadsheet (no content.xml)"));
  EXPECT_THAT([] { Read(Content("")); },
              ThrowsMessage<WorkbookError>("book.ods: the spreadsheet has no sheets"));
}

}  // namespace
}  // namespace pelorin::workbook
