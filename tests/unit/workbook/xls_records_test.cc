#include "workbook/xls_records.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "tests/unit/workbook/biff_fixture.h"

namespace pelorin::workbook {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::Biff8String;
using testing::Bof;
using testing::Le16;
using testing::Le32;
using testing::LeDouble;
using testing::Record;
using testing::Stream;

std::string Cell(std::uint16_t row, std::uint16_t column, std::uint16_t xf) {
  return Le16(row) + Le16(column) + Le16(xf);
}
std::string Number(std::uint16_t row, std::uint16_t column, std::uint16_t xf, double value) {
  return Record(0x0203, Cell(row, column, xf) + LeDouble(value));
}
std::string Rk(std::uint16_t row, std::uint16_t column, std::uint16_t xf, std::uint32_t rk) {
  return Record(0x027E, Cell(row, column, xf) + Le32(rk));
}
std::string BoolErr(std::uint16_t row, std::uint16_t column, int value, bool error) {
  return Record(0x0205, Cell(row, column, 0) + static_cast<char>(value) + static_cast<char>(error));
}
// A formula whose cached result is the 8 bytes given.
std::string Formula(std::uint16_t row, std::uint16_t column, std::uint16_t xf,
                    const std::string& result) {
  return Record(0x0006, Cell(row, column, xf) + result + Le16(0) + Le32(0) + Le16(0));
}
std::string SpecialResult(int kind, int value) {
  return std::string{static_cast<char>(kind), 0, static_cast<char>(value), 0, 0, 0} + "\xFF\xFF";
}
std::map<std::string, std::string> Texts(const XlsSheetValues& values) {
  std::map<std::string, std::string> texts;
  for (const XlsValueCell& cell : values.cells) {
    texts[std::string(1, static_cast<char>('A' + cell.column)) + std::to_string(cell.row + 1)] = cell.text;
  }
  return texts;
}

TEST(XlsRecordsTest, ValuesReadAsTheOtherReadersShowThem) {
  // RK: integers shifted by two with bit 1 set; bit 0 divides by 100;
  // otherwise the high 32 bits of a double.
  std::string rows =
      Record(0x0200, Le32(0) + Le32(9) + Le16(0) + Le16(6) + Le16(0)) +
      Number(0, 0, 0, 919876543210.0) + Rk(0, 1, 0, (42u << 2) | 2) +
      Rk(0, 2, 0, (1250u << 2) | 3) + Rk(0, 3, 0, 0x40040000) /* 2.5 */ +
      Number(0, 4, 0, 0.1 + 0.2) + Number(0, 5, 5, 1.5) +
      Number(1, 0, 1, 45292) + Number(1, 1, 2, 45293) + Number(1, 2, 3, 45292.75) +
      Number(1, 3, 4, 0.5) + Number(1, 4, 0, 1e20) + Number(1, 5, 0, -42) +
      Record(0x00BD, Cell(2, 1, 1).substr(0, 4) + Le16(1) + Le32((45292u << 2) | 2) + Le16(0) +
                         Le32((7u << 2) | 2) + Le16(2)) +  // MULRK: B3 a date, C3 a number
      BoolErr(3, 0, 1, false) + BoolErr(3, 1, 0, false) + BoolErr(3, 2, 0x07, true) +
      BoolErr(3, 3, 0x2A, true) +
      Formula(4, 0, 0, LeDouble(3)) + Formula(4, 1, 0, SpecialResult(1, 0)) +
      Formula(4, 2, 0, SpecialResult(2, 0x17)) + Formula(4, 3, 0, SpecialResult(3, 0)) +
      Formula(4, 4, 0, SpecialResult(0, 0)) + Record(0x0207, Biff8String(u"Zoë 日本")) +
      // A long text result goes on in a CONTINUE record with its own option byte.
      Formula(5, 0, 0, SpecialResult(0, 0)) + Record(0x0207, Le16(5) + std::string("\0abc", 4)) +
      Record(0x003C, std::string("\x01", 1) + Le16(u'd') + Le16(u'é')) +
      // A chart inside the sheet has records of its own.
      Bof(0x0020) + Number(8, 0, 0, 99) + Record(0x000A, "");
  std::string stream = Stream("", {{u"Data", rows}});
  XlsGlobals globals = ScanXlsGlobals(stream);
  ASSERT_EQ(globals.sheets.size(), 1u);
  XlsSheetValues values = ScanXlsSheet(stream, globals, globals.sheets[0]);
  EXPECT_EQ(values.rows, 9u);
  EXPECT_EQ(values.columns, 6u);
  EXPECT_EQ(Texts(values), (std::map<std::string, std::string>{
                               {"A1", "919876543210"}, {"B1", "42"}, {"C1", "12.5"}, {"D1", "2.5"},
                               {"E1", "0.3"}, {"F1", "1.5"},
                               {"A2", "2024-01-01"}, {"B2", "2024-01-02"}, {"C2", "2024-01-01 18:00:00"},
                               {"D2", "12:00:00"}, {"E2", "1E+20"}, {"F2", "-42"},
                               {"B3", "2024-01-01"}, {"C3", "7"},
                               {"A4", "TRUE"}, {"B4", "FALSE"}, {"C4", "#DIV/0!"}, {"D4", "#N/A"},
                               {"A5", "3"}, {"B5", "FALSE"}, {"C5", "#REF!"}, {"E5", "Zoë 日本"},
                               {"A6", "abcdé"}}));
  EXPECT_EQ(values.cell_records, 24u);  // not the chart's

  globals = ScanXlsGlobals(Stream(Record(0x0022, Le16(1)), {{u"Data", rows}}));
  EXPECT_TRUE(globals.date1904);
  EXPECT_EQ(Texts(ScanXlsSheet(Stream(Record(0x0022, Le16(1)), {{u"Data", rows}}), globals,
                               globals.sheets[0]))["A2"],
            "2028-01-02");
}

std::string LabelSst(std::uint16_t row, std::uint16_t column, std::uint32_t index) {
  return Record(0x00FD, Cell(row, column, 0) + Le32(index));
}

// The shared string table as long texts leave it: a text going on in a
// CONTINUE record that begins with an option byte of its own (here turning
// to two-byte characters), and formatting runs and phonetic data cut across
// records with no option byte.
TEST(XlsRecordsTest, SharedStringsGoOnAcrossContinueRecords) {
  std::string wide_bytes, wide_text;
  for (int i = 0; i < 2000; ++i) {
    wide_bytes += "\xE5\x65";  // U+65E5
    wide_text += "日";
  }
  const std::string table = Record(0x00FC, Le32(6) + Le32(4) + Biff8String(u"short") + Le16(10000) +
                                               '\0' + std::string(8000, 'a')) +
                            Record(0x003C, std::string(1, '\x01') + wide_bytes + Le16(3) + '\x0C' +
                                               Le16(2) + Le32(6) + "Zo\xEB" + Le32(0x00010000)) +
                            Record(0x003C, Le32(0x00020001) + std::string(6, 'p') +
                                               Biff8String(u"after"));
  const std::string cells = LabelSst(0, 0, 1) + LabelSst(1, 2, 2) +
                            Record(0x0204, Cell(2, 0, 0) + Biff8String(u"label")) +
                            LabelSst(3, 1, 0) + LabelSst(4, 1, 3);
  const std::string stream = Stream(table, {{u"Data", cells}});

  const std::vector<std::string> strings = ScanXlsSharedStrings(stream);
  EXPECT_THAT(strings, ElementsAre("short", std::string(8000, 'a') + wide_text, "Zoë", "after"));
  const XlsGlobals globals = ScanXlsGlobals(stream);
  EXPECT_EQ(Texts(ScanXlsSheet(stream, globals, globals.sheets[0], &strings)),
            (std::map<std::string, std::string>{{"A1", std::string(8000, 'a') + wide_text},
                                                {"C2", "Zoë"},
                                                {"A3", "label"},
                                                {"B4", "short"},
                                                {"B5", "after"}}));
  // Without the table the text cells are left to the text reader.
  EXPECT_TRUE(ScanXlsSheet(stream, globals, globals.sheets[0]).cells.empty());

  const std::string past = Stream(table, {{u"Data", LabelSst(0, 0, 9)}});
  EXPECT_THAT([&] { ScanXlsSheet(past, globals, ScanXlsGlobals(past).sheets[0], &strings); },
              ThrowsMessage<XlsFormatError>(HasSubstr("a cell names shared string 10 of 4")));
}

TEST(XlsRecordsTest, SheetNamesKindsAndTheActiveTab) {
  std::string window = Record(0x003D, std::string(10, '\0') + Le16(2) + std::string(6, '\0'));
  std::string stream = Stream(window, {{u"First", ""}, {u"Zweite Ü", ""}, {u"日本", ""}});
  XlsGlobals globals = ScanXlsGlobals(stream);
  ASSERT_EQ(globals.sheets.size(), 3u);
  EXPECT_EQ(globals.sheets[1].name, "Zweite Ü");
  EXPECT_EQ(globals.sheets[2].name, "日本");
  EXPECT_TRUE(globals.sheets[2].worksheet);
  EXPECT_EQ(globals.active_tab, 2);
  EXPECT_FALSE(globals.encrypted);
  // A tab past the last sheet falls back to the first.
  window = Record(0x003D, std::string(10, '\0') + Le16(7) + std::string(6, '\0'));
  EXPECT_EQ(ScanXlsGlobals(Stream(window, {{u"Only", ""}})).active_tab, 0);
}

TEST(XlsRecordsTest, AnEncryptedStreamIsMarkedAndNotReadFurther) {
  std::string stream = Bof(0x0005) + Record(0x002F, std::string(54, '\x5A')) +
                       std::string(40, '\xEE');  // what follows is ciphertext
  XlsGlobals globals = ScanXlsGlobals(stream);
  EXPECT_TRUE(globals.encrypted);
  EXPECT_TRUE(globals.sheets.empty());
}

TEST(XlsRecordsTest, DamagedStreamsAreRefusedWithWhatIsWrong) {
  std::string good = Stream("", {{u"S", Number(0, 0, 0, 1)}});
  std::string past_end = good;
  past_end.replace(past_end.find(std::string("\x85\x00", 2)) + 4, 4, Le32(900000));
  const struct {
    std::string stream;
    bool in_sheet;
    const char* problem;
  } cases[] = {
      {Record(0x0203, "x") + good, false, "does not begin with a BOF record"},
      {good.substr(0, 3), false, "cut short"},
      {Bof(0x0005) + Le16(0x0085) + Le16(200) + "abc", false, "runs past the end"},
      {Bof(0x0005) + Record(0x0085, "ab"), false, "BOUNDSHEET record is too short"},
      {good.substr(0, good.size() - 8), true, "runs past the end"},
      {past_end, true, "lies past the end of the workbook stream"},
      {Stream("", {{u"S", Record(0x0203, "short")}}), true, "NUMBER record is too short"},
  };
  for (const auto& c : cases) {
    try {
      XlsGlobals globals = ScanXlsGlobals(c.stream);
      if (c.in_sheet) ScanXlsSheet(c.stream, globals, globals.sheets.at(0));
      ADD_FAILURE() << "no error; expected " << c.problem;
    } catch (const XlsFormatError& error) {
      EXPECT_THAT(error.what(), HasSubstr(c.problem));
    }
  }
}

}  // namespace
}  // namespace pelorin::workbook
