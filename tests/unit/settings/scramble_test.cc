#include "core/settings/scramble.h"

#include <gtest/gtest.h>

#include "core/text/utf8.h"

namespace pelorin {
namespace {

std::u32string Codes(std::string_view text) { return utf8::Decode(text); }

TEST(ScrambleTest, ShiftsEachRangeByItsOffset) {
  struct Case {
    char32_t input;
    char32_t scrambled;
  };
  const Case cases[] = {
      {U'A', 192}, {U'Z', 217}, {U'a', 218}, {U'z', 243}, {U'0', 244}, {U'9', 253},
      {U' ', U' '}, {U'.', U'.'}, {U'@', U'@'}, {U'@' - 1, U'@' - 1}, {U'[', U'['}, {U'`', U'`'},
      {U'{', U'{'}, {U'/', U'/'}, {U':', U':'},
  };
  for (const Case& c : cases) {
    std::string in;
    utf8::Append(in, c.input);
    EXPECT_EQ(Codes(strScramble(in)), std::u32string(1, c.scrambled)) << "code " << static_cast<unsigned>(c.input);
  }
}

TEST(ScrambleTest, AbcBecomes218To220AndBack) {
  EXPECT_EQ(Codes(strScramble("abc")), (std::u32string{218, 219, 220}));
  EXPECT_EQ(strUnscramble(strScramble("abc")), "abc");
}

TEST(ScrambleTest, LoginIdsRoundTrip) {
  for (std::string id : {"demo", "User.Name@example.com", "a b", "Zz09", ""}) {
    EXPECT_EQ(strUnscramble(strScramble(id)), id);
  }
}

TEST(ScrambleTest, ScrambledAsciiIdIsTheTableCharactersInUtf8) {
  // "A" moves to U+00C0, which UTF-8 writes as C3 80.
  EXPECT_EQ(strScramble("A"), "\xC3\x80");
}

TEST(ScrambleTest, EveryUnicodeIdRoundTrips) {
  // "ü" is U+00FC, inside the shifted ranges; the others lie beyond them,
  // up to the last code point and one outside the basic plane.
  for (std::string id : {"J\xC3\xBCrgen", "\xC3\x80\xC3\xBD", "Stra\xC3\x9F" "e 12",
                         "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", "\xE5\xBC\xA0\xE4\xB8\x89",
                         "\xF0\x9F\x98\x80x", "\xF4\x8F\xBF\xBF", "X00FC", "\xC2\x80"}) {
    EXPECT_EQ(strUnscramble(strScramble(id)), id) << id;
  }
}

TEST(ScrambleTest, StoredFormHasNoReadableLettersOfTheId) {
  // The wide form spells the code point, never the letters around it.
  EXPECT_EQ(strScramble("J\xC3\xBC"), "\xC3\x89X0000FC");
}

TEST(ScrambleTest, TextsStoredByEarlierVersionsReadAsBefore) {
  // Those left characters beyond ASCII as they were; the inverse shift
  // still applies to them, so an old stored "Jürgen" reads as before.
  struct Case {
    const char* stored;
    const char* reads;
  };
  const Case cases[] = {
      {"\xC3\x80", "A"},
      {"\xC3\xB1\xC3\xBD", "x9"},
      {"\xC3\x89\xC3\xBC\xC3\xAB\xC3\xA0\xC3\x9E\xC3\xA7", "J8rgen"},
      {"\xC3\xBE@\xC3\xBF", "\xC3\xBE@\xC3\xBF"},
  };
  for (const Case& c : cases) EXPECT_EQ(strUnscramble(c.stored), c.reads) << c.stored;
}

}  // namespace
}  // namespace pelorin
