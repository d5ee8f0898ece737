#include <gtest/gtest.h>

#include "workbook/number_text.h"

namespace pelorin::workbook {
namespace {

TEST(ClassifyNumberFormatTest, TellsDatesAndTimesFromNumbers) {
  const std::pair<const char*, DateKind> cases[] = {
      {"yyyy-mm-dd", DateKind::kDate},
      {"d-mmm", DateKind::kDate},
      {"mmm-yy", DateKind::kDate},
      {"[$-409]mmmm d, yyyy;@", DateKind::kDate},
      {"DD/MM/YYYY", DateKind::kDate},
      {"m/d/yyyy h:mm", DateKind::kDateTime},
      {"yyyy-mm-dd hh:mm:ss", DateKind::kDateTime},
      {"h:mm:ss", DateKind::kTime},
      {"mm:ss", DateKind::kTime},
      {"[h]:mm:ss", DateKind::kTime},
      {"h:mm AM/PM", DateKind::kTime},
      {"General", DateKind::kNone},
      {"0.00", DateKind::kNone},
      {"0.00%", DateKind::kNone},
      {"#,##0.00 [$EUR]", DateKind::kNone},
      {"[Red]0.00;[Blue]-0.00", DateKind::kNone},
      {"\"days\" 0", DateKind::kNone},
      {"0 \\d", DateKind::kNone},
      {"0;\"yyyy\"", DateKind::kNone},
      {"@", DateKind::kNone},
  };
  for (const auto& [code, kind] : cases) {
    EXPECT_EQ(ClassifyNumberFormat(code), kind) << code;
  }
}

TEST(ClassifyNumberFormatTest, BuiltInIdsFourteenToTwentyTwoAreDatesOrTimes) {
  for (int id = 14; id <= 17; ++id) EXPECT_EQ(BuiltInFormatKind(id), DateKind::kDate) << id;
  for (int id = 18; id <= 21; ++id) EXPECT_EQ(BuiltInFormatKind(id), DateKind::kTime) << id;
  EXPECT_EQ(BuiltInFormatKind(22), DateKind::kDateTime);
  EXPECT_EQ(BuiltInFormatKind(46), DateKind::kTime);
  for (int id : {0, 1, 2, 9, 10, 11, 12, 13, 23, 37, 44, 48, 49, 164}) {
    EXPECT_EQ(BuiltInFormatKind(id), DateKind::kNone) << id;
  }
}

struct SerialCase {
  double serial;
  DateKind kind;
  bool date1904;
  const char* text;
};

TEST(SerialDateTextTest, ShowsSerialsInAnIsoLikeForm) {
  const SerialCase cases[] = {
      {45292, DateKind::kDate, false, "2024-01-01"},
      {45292.5, DateKind::kDateTime, false, "2024-01-01 12:00:00"},
      {45292 + 1.0 / 86400, DateKind::kDateTime, false, "2024-01-01 00:00:01"},
      {45292.99999999, DateKind::kDate, false, "2024-01-02"},  // rounds to the next midnight
      {0.75, DateKind::kTime, false, "18:00:00"},
      {0.5 + 0.4 / 86400, DateKind::kTime, false, "12:00:00"},
      {1.25, DateKind::kTime, false, "1900-01-01 06:00:00"},
      {1, DateKind::kDate, false, "1900-01-01"},
      {59, DateKind::kDate, false, "1900-02-28"},
      {60, DateKind::kDate, false, "1900-02-29"},  // the 1900 leap-year quirk
      {61, DateKind::kDate, false, "1900-03-01"},
      {0, DateKind::kDate, true, "1904-01-01"},
      {43830, DateKind::kDate, true, "2024-01-01"},
      {2958465, DateKind::kDate, false, "9999-12-31"},
      {-1, DateKind::kDate, false, "-1"},
      {3e6, DateKind::kDate, false, "3000000"},
      {45292.5, DateKind::kNone, false, "45292.5"},
  };
  for (const SerialCase& c : cases) {
    EXPECT_EQ(SerialDateText(c.serial, c.kind, c.date1904), c.text) << c.serial;
  }
}

TEST(IsoTextTest, DatesAndDurationsOfOpenDocumentCells) {
  const std::pair<const char*, const char*> dates[] = {
      {"2024-01-05", "2024-01-05"},
      {"2024-01-05T13:45:00", "2024-01-05 13:45:00"},
      {"2024-01-05T13:45:07.25", "2024-01-05 13:45:07"},
      {"2024-12-31T23:59:59.6", "2025-01-01 00:00:00"},
      {"1899-12-30", "1899-12-30"},
      {"not a date", "not a date"},
      {"2024-13-01", "2024-13-01"},
      {"400400200000-01-05T13:43:20", "400400200000-01-05T13:43:20"},
  };
  for (const auto& [iso, text] : dates) EXPECT_EQ(IsoDateTimeText(iso), text) << iso;
  const std::pair<const char*, const char*> durations[] = {
      {"PT13H45M00S", "13:45:00"},
      {"PT00H00M01.5S", "00:00:02"},
      {"PT36H00M00S", "36:00:00"},
      {"P1DT2H", "26:00:00"},
      {"-PT1H", "-01:00:00"},
      {"PT", "00:00:00"},
      {"13:45", "13:45"},
      {"PT1X", "PT1X"},
  };
  for (const auto& [iso, text] : durations) EXPECT_EQ(IsoDurationText(iso), text) << iso;
}

}  // namespace
}  // namespace pelorin::workbook
