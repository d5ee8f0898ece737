// The two encoders: the form-field encoder the upload relies on, and the
// query-value encoder that keeps a value from adding or cutting parameters.
#include "core/service/url_encode.h"

#include <gtest/gtest.h>

#include "core/service/timestamp.h"

namespace pelorin {
namespace {

TEST(URLEncodeTest, KeepsOnlyLettersAndDigits) {
  struct Case {
    const char* text;
    const char* encoded;
  } cases[] = {
      {"A&B=C", "A%26B%3DC"},
      {"a b-c", "a+b%2Dc"},
      {"", ""},
      {"   ", "   "},  // a text of spaces stays as it is
      {" x ", "+x+"},
      {"line\nfeed", "line%0Afeed"},
      {"-._~*", "%2D%2E%5F%7E%2A"},
      {"Az09", "Az09"},
      {"नम", "%E0%A4%A8%E0%A4%AE"},  // every UTF-8 byte
      {"|*^~?*", "%7C%2A%5E%7E%3F%2A"},
  };
  for (const Case& c : cases) EXPECT_EQ(strURLEncode(c.text), c.encoded) << c.text;
}

TEST(URLEncodeTest, AppendingEncodesSpacesEvenWhenThereIsNothingElse) {
  std::string out = "variable1=";
  AppendURLEncoded(out, "  ");
  EXPECT_EQ(out, "variable1=++");
}

TEST(PercentEncodeQueryValueTest, LeavesTheUnreservedCharactersAlone) {
  struct Case {
    const char* text;
    const char* encoded;
  } cases[] = {
      {"demo-user_1.x~", "demo-user_1.x~"},
      {"a&b=c", "a%26b%3Dc"},
      {"p#ss w%rd+", "p%23ss%20w%25rd%2B"},
      {"!PWD!", "%21PWD%21"},
      {"", ""},
      {"é", "%C3%A9"},
  };
  for (const Case& c : cases) EXPECT_EQ(PercentEncodeQueryValue(c.text), c.encoded) << c.text;
}

TEST(FormatTimestampTest, WritesTheSecondAndDropsMidnight) {
  EXPECT_EQ(FormatTimestamp({2026, 3, 7, 9, 5, 2}), "2026-03-07 09:05:02");
  EXPECT_EQ(FormatTimestamp({2026, 12, 31, 23, 59, 59}), "2026-12-31 23:59:59");
  EXPECT_EQ(FormatTimestamp({2027, 1, 1, 0, 0, 0}), "2027-01-01");
  EXPECT_EQ(FormatTimestamp({2027, 1, 1, 0, 0, 1}), "2027-01-01 00:00:01");
}

}  // namespace
}  // namespace pelorin
