// CGlobal's keystroke filters and its leading-zero check.
#include <gmock/gmock.h>

#include "core/addin/global.h"

namespace pelorin {
namespace {

using forms::KeyCode;

struct FilterCase {
  KeyCode key;
  bool digit;     // intAllowOnlyDigit accepts it
  bool decimal;   // intAllowOnlyDigitAndDecimal accepts it
  bool alphabet;  // intAllowOnlyAlphabets accepts it
};

TEST(KeyFilterTest, EachFilterAcceptsItsSetAndRefusesTheRest) {
  const FilterCase cases[] = {
      {'0', true, true, false},  {'9', true, true, false},  {'/', false, false, false},
      {':', false, false, false}, {'.', false, true, false}, {8, true, true, true},
      {'A', false, false, true},  {'Z', false, false, true}, {'a', false, false, true},
      {'z', false, false, true},  {'@', false, false, false}, {'[', false, false, false},
      {'`', false, false, false}, {'{', false, false, false}, {' ', false, false, false},
      {0, false, false, false},   {-8, false, false, false}, {-48, false, false, false},
      {0x0661, false, false, false},  // ARABIC-INDIC DIGIT ONE is not a digit here
      {0x00E9, false, false, false},  // é is not one of the letters
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.key);
    KeyCode key = c.key;
    EXPECT_EQ(CGlobal::intAllowOnlyDigit(key), c.digit ? c.key : 0);
    EXPECT_EQ(CGlobal::intAllowOnlyDigitAndDecimal(key), c.decimal ? c.key : 0);
    EXPECT_EQ(CGlobal::intAllowOnlyAlphabets(key), c.alphabet ? c.key : 0);
    EXPECT_EQ(key, c.key) << "a filter never changes the key it is given";
  }
}

TEST(KeyFilterTest, DecimalV1LetsOnePointInAfterTheFirstCharacter) {
  struct Case {
    const char* text;
    KeyCode key;
    KeyCode expected;
  };
  const Case cases[] = {
      {"", '.', 0},     {"", '5', '5'},     {"", 8, 8},       {"", 'x', 0},
      {"12", '.', '.'}, {"12", 'x', 'x'},   {"12", ',', ','}, {"12", -3, -3},
      {"1.5", '.', 0},  {"1.5", '7', '7'},  {"1.5", 8, 8},    {"1.5", 'x', 0},
      {".", '.', 0},    {"3.", '4', '4'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\" key " + std::to_string(c.key));
    std::string text = c.text;
    KeyCode key = c.key;
    EXPECT_EQ(CGlobal::intAllowOnlyDigitAndDecimalV1(text, key), c.expected);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(key, c.key);
  }
}

TEST(LeadingZeroTest, DropsLeadingZerosInTheCallersText) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"0012", "12"}, {"000", ""},      {"0", ""},   {"120", "120"}, {"7", "7"},
      {"0100", "100"}, {"01a0", "1a0"}, {"9x", "9x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string text = c.text;
    EXPECT_EQ(CGlobal::strValidLeadingZero(text), c.expected);
    EXPECT_EQ(text, c.expected);
  }
}

TEST(LeadingZeroTest, ANonDigitWhereADigitIsTestedIsATypeMismatch) {
  struct Case {
    const char* text;
    const char* left;  // the caller's text after the failure
  };
  const Case cases[] = {
      {"", ""}, {"a", "a"}, {" 1", " 1"}, {"-1", "-1"}, {"0a", "a"}, {"00x", "x"}, {"0.5", ".5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string text = c.text;
    EXPECT_THROW(CGlobal::strValidLeadingZero(text), TypeMismatchError);
    EXPECT_EQ(text, c.left);
  }
}

}  // namespace
}  // namespace pelorin
