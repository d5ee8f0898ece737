#include "core/messaging/message_template.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

struct SplitCase {
  const char* name;
  const char* text;
  std::vector<TemplatePiece> pieces;
};

TemplatePiece Lit(const char* text) { return {text, false}; }
TemplatePiece Col(const char* text) { return {text, true}; }

class TemplateSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(TemplateSplit, CutsAtEveryBar) {
  EXPECT_EQ(MessageTemplate(GetParam().text).pieces(), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TemplateSplit,
    ::testing::Values(
        SplitCase{"Example",
                  "Dear |C|, Here |C| is",
                  {Lit("Dear "), Col("C"), Lit(", Here "), Col("C"), Lit(" is")}},
        SplitCase{"NoBar", "Hello all", {Lit("Hello all")}}, SplitCase{"Empty", "", {Lit("")}},
        SplitCase{"EndsInBar", "Hi |B|", {Lit("Hi "), Col("B"), Lit("")}},
        SplitCase{"SingleBar", "|", {Lit(""), Col("")}},
        SplitCase{"LongEvenPieceIsLiteral", "a|bcd|e", {Lit("a"), Lit("bcd"), Lit("e")}},
        SplitCase{"TwoLetters", "x|AB|y", {Lit("x"), Col("AB"), Lit("y")}},
        SplitCase{"DigitsAreStillAReference", "x|12|", {Lit("x"), Col("12"), Lit("")}},
        SplitCase{"OneCharacterOfThreeBytes", "Hi |€|", {Lit("Hi "), Col("€"), Lit("")}},
        SplitCase{"ThreeCharacters", "a|éée|b", {Lit("a"), Lit("éée"), Lit("b")}},
        SplitCase{
            "OddPiecesNeverReference", "|A|B|C|", {Lit(""), Col("A"), Lit("B"), Col("C"), Lit("")}},
        SplitCase{"AdjacentBars", "a||b", {Lit("a"), Col(""), Lit("b")}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TemplateColumns, EachReferencedColumnOnceInOrderOfUse) {
  MessageTemplate message("|C| and |B| then |C| and |long|");
  EXPECT_EQ(message.ReferencedColumns(), (std::vector<std::string>{"C", "B"}));
}

}  // namespace
}  // namespace pelorin
