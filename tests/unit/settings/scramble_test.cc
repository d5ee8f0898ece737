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

TEST(ScrambleTest, CharactersAlreadyInTheShiftedRangesDoNotSurvive) {
  // U+00C0 is left alone by the scramble but shifted down by its inverse.
  EXPECT_EQ(strUnscramble(strScramble("\xC3\x80")), "A");
  EXPECT_EQ(strUnscramble(strScramble("x\xC3\xBD")), "x9");
}

}  // namespace
}  // namespace pelorin
