#include "form_codec.h"

#include <gtest/gtest.h>

namespace pelorin::provider {
namespace {

TEST(PercentDecodeTest, DecodesEscapesAndPlus) {
  struct Case {
    const char* encoded;
    std::optional<std::string> decoded;
  } cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"a+b", "a b"},
      {"A%26B%3DC", "A&B=C"},
      {"%0A%0d", "\n\r"},
      {"%2B", "+"},
      {"%C3%A9", "\xC3\xA9"},
      {"100%", std::nullopt},
      {"%4", std::nullopt},
      {"%G1", std::nullopt},
      {"a%%20", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PercentDecode(c.encoded), c.decoded) << "input: " << c.encoded;
  }
}

TEST(ParseFormTest, SplitsPairsAndKeepsFirstOfRepeatedNames) {
  std::optional<FormFields> fields = ParseForm("uid=a%26b&pwd=&flag&&uid=second&x=1=2");
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(*fields, (FormFields{{"uid", "a&b"}, {"pwd", ""}, {"flag", ""}, {"x", "1=2"}}));
}

TEST(ParseFormTest, RefusesMalformedEscapesInNamesAndValues) {
  EXPECT_FALSE(ParseForm("uid=50%off").has_value());
  EXPECT_FALSE(ParseForm("u%zid=1").has_value());
  EXPECT_TRUE(ParseForm("").has_value());
}

TEST(QueryOfTest, TakesTextBetweenMarkAndFragment) {
  EXPECT_EQ(QueryOf("/a/b.aspx?uid=1&x=2"), "uid=1&x=2");
  EXPECT_EQ(QueryOf("/a?b?c"), "b?c");
  EXPECT_EQ(QueryOf("/a?b#frag"), "b");
  EXPECT_EQ(QueryOf("/a"), "");
}

TEST(Utf8Test, AcceptsWellFormedAndRefusesTheRest) {
  struct Case {
    const char* text;
    bool valid;
  } cases[] = {
      {"plain ascii", true},
      {"caf\xC3\xA9", true},                 // U+00E9
      {"\xE2\x82\xAC", true},                // U+20AC
      {"\xF0\x9F\x98\x80", true},            // U+1F600
      {"\xF4\x8F\xBF\xBF", true},            // U+10FFFF
      {"\xC3", false},                       // cut short
      {"\xC0\xAF", false},                   // overlong '/'
      {"\xE0\x80\xAF", false},               // overlong
      {"\xED\xA0\x80", false},               // surrogate
      {"\xF4\x90\x80\x80", false},           // above U+10FFFF
      {"\xFF", false},
      {"ok\x80", false},                     // stray continuation byte
      {"\xE2\x82", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidUtf8(c.text), c.valid) << "input: " << testing::PrintToString(c.text);
  }
}

}  // namespace
}  // namespace pelorin::provider
