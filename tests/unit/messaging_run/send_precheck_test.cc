#include "core/messaging/send_precheck.h"

#include <gtest/gtest.h>

#include "core/messaging/schedule_time.h"
#include "tests/support/fakes/fake_application.h"

namespace pelorin {
namespace {

using testing::FakeWorksheet;

TEST(SendPrecheckTest, OverlappingOrRepeatedItemsAreNamed) {
  struct Case {
    std::vector<RowRange> ranges;
    std::optional<std::string> found;
  };
  const std::vector<Case> cases = {
      {{{3, 9}, {35, 71}}, std::nullopt},
      {{{35, 71}, {3, 9}, {10, 34}}, std::nullopt},           // touching is fine
      {{{5, 5}, {6, 6}}, std::nullopt},
      {{{3, 9}, {5, 12}}, "3-9 and 5-12 overlap: rows 5-9 would get two messages"},
      {{{5, 12}, {3, 9}}, "5-12 and 3-9 overlap: rows 5-9 would get two messages"},
      {{{2, 4}, {2, 4}}, "2-4 and 2-4 overlap: rows 2-4 would get two messages"},
      {{{1, 100}, {20, 30}, {200, 300}}, "1-100 and 20-30 overlap: rows 20-30 would get two messages"},
      {{{1, 10}, {50, 60}, {10, 10}}, "1-10 and 10 overlap: rows 10 would get two messages"},
      {{{9, 3}, {4, 5}}, std::nullopt},  // a reversed item names no rows
  };
  for (const Case& c : cases) EXPECT_EQ(FindOverlappingRanges(c.ranges), c.found);
}

SendRequest Request(std::vector<RowRange> ranges, std::string message = "Hi |C|") {
  SendRequest request;
  request.message_template = std::move(message);
  request.mobile_column = "B";
  request.ranges = std::move(ranges);
  return request;
}

TEST(SendPrecheckTest, BadTextIsFoundAtItsEarliestRowInTheColumnsUsed) {
  FakeWorksheet sheet;
  for (int row = 1; row <= 9000; ++row) {
    sheet.Set("B", row, "9198" + std::to_string(row));
    sheet.Set("C", row, "name");
  }
  sheet.Set("D", 3, std::string("unused \0 column", 15));
  EXPECT_EQ(FindBadText(sheet, Request({{1, 9000}})), std::nullopt);

  sheet.Set("C", 8000, "bad \xC3(");
  sheet.Set("B", 4502, std::string("91\0", 3));
  EXPECT_EQ(FindBadText(sheet, Request({{1, 9000}})),
            "row 4502, column B: the text holds a NUL character");
  EXPECT_EQ(FindBadText(sheet, Request({{5000, 9000}})),
            "row 8000, column C: the text is not valid UTF-8");
  EXPECT_EQ(FindBadText(sheet, Request({{5000, 9000}}, "Hi |D|")), std::nullopt);
  EXPECT_EQ(FindBadText(sheet, Request({{1, 2}}, "Hi \xFF")),
            "the message: the text is not valid UTF-8");
}

TEST(SendPrecheckTest, RowsWithNothingToSendAreNamedWithTheUsedRange) {
  FakeWorksheet sheet;
  for (int row = 2; row <= 6; ++row) sheet.Set("B", row, "9198" + std::to_string(row));
  sheet.Set("B", 4, "   ");
  const UsedRange used{6, 3};
  struct Case {
    std::vector<RowRange> ranges;
    std::int64_t packet_size;
    std::optional<std::string> found;
  };
  const std::string past = " reach past the last row holding a value (the sheet uses rows 1-6 and columns A-C)";
  const std::vector<Case> cases = {
      {{{2, 6}}, 1000, std::nullopt},
      {{{4, 4}, {6, 6}}, 1000, std::nullopt},
      {{{2, 3}, {5, 7}}, 1000, std::nullopt},  // one empty row at the end yields nothing
      {{{2, 3}, {5, 1005}}, 1000, std::nullopt},
      {{{2, 3}, {5, 1006}}, 1000, "rows 5-1006" + past},  // a whole packet past the data
      {{{2, 8}}, 2, "rows 2-8" + past},
      {{{2, 3}, {7, 9}}, 1000, "rows 7-9" + past},  // nothing in it at all
      {{{4, 4}}, 1000,
       "column B holds no mobile number in the rows selected (the sheet uses rows 1-6 and "
       "columns A-C)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindRowsWithoutData(sheet, Request(c.ranges), used, c.packet_size), c.found);
  }
  EXPECT_EQ(FindRowsWithoutData(FakeWorksheet(), Request({{1, 1}}), {}, 1000),
            "rows 1 reach past the last row holding a value (the sheet holds no values)");
}

TEST(ScheduleTimeTest, OnlyRealTimesAheadOfTheClockPass) {
  struct Case {
    LocalDateTime when;
    bool real;
  };
  const Case cases[] = {
      {{2027, 2, 28, 10, 0, 0}, true},  {{2027, 2, 29, 10, 0, 0}, false},
      {{2028, 2, 29, 10, 0, 0}, true},  {{2100, 2, 29, 10, 0, 0}, false},
      {{2000, 2, 29, 10, 0, 0}, true},  {{2027, 2, 30, 10, 0, 0}, false},
      {{2027, 4, 31, 10, 0, 0}, false}, {{2027, 12, 31, 23, 59, 0}, true},
      {{2027, 13, 1, 10, 0, 0}, false}, {{2027, 0, 1, 10, 0, 0}, false},
      {{2027, 1, 0, 10, 0, 0}, false},  {{2027, 1, 1, 24, 0, 0}, false},
      {{2027, 1, 1, 10, 60, 0}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsRealDateTime(c.when), c.real) << c.when.year << "-" << c.when.month << "-" << c.when.day
                                              << " " << c.when.hour << ":" << c.when.minute;
  }
  const LocalDateTime now{2026, 12, 10, 15, 30, 20};
  EXPECT_TRUE(IsLater({2026, 12, 10, 15, 31, 0}, now));
  EXPECT_FALSE(IsLater({2026, 12, 10, 15, 30, 0}, now));
  EXPECT_FALSE(IsLater({2026, 11, 30, 23, 59, 0}, now));
  EXPECT_TRUE(IsLater({2027, 1, 1, 0, 0, 0}, now));
}

}  // namespace
}  // namespace pelorin
