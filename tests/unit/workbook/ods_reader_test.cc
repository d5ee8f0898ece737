#include "workbook/ods_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

TEST(OdsReaderTest, ReadsEveryValueType) {
  auto workbook = Read(Content(Table("Data",
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
      "</table:table-row>")));
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
