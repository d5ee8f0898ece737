#include "core/messaging/message_segments.h"

#include <gtest/gtest.h>

#include <string>

namespace pelorin {
namespace {

std::string Times(int count, std::string_view text) {
  std::string out;
  for (int i = 0; i < count; ++i) out += text;
  return out;
}

struct SegmentCase {
  const char* name;
  std::string message;
  MessageCost cost;
};

class SegmentRules : public ::testing::TestWithParam<SegmentCase> {};

TEST_P(SegmentRules, CountsUnitsAndSegments) {
  const SegmentCase& c = GetParam();
  EXPECT_EQ(CountSegments(c.message), c.cost);
}

constexpr MessageEncoding kGsm = MessageEncoding::kGsm7;
constexpr MessageEncoding kUcs2 = MessageEncoding::kUcs2;
const std::string kEuro = "\u20AC";
const std::string kEmoji = "\U0001F600";  // outside the basic plane
const std::string kDevanagari = "\u0915";

INSTANTIATE_TEST_SUITE_P(
    Edges, SegmentRules,
    ::testing::Values(
        SegmentCase{"Empty", "", {kGsm, 0, 1}},
        SegmentCase{"Gsm160", Times(160, "a"), {kGsm, 160, 1}},
        SegmentCase{"Gsm161", Times(161, "a"), {kGsm, 161, 2}},
        SegmentCase{"Gsm306", Times(306, "a"), {kGsm, 306, 2}},
        SegmentCase{"Gsm307", Times(307, "a"), {kGsm, 307, 3}},
        SegmentCase{"GsmAccentsAndGreek", "\u00E9\u00E0\u00C7\u0394\u00A3@$_", {kGsm, 8, 1}},
        SegmentCase{"EuroCountsTwo", Times(158, "a") + kEuro, {kGsm, 160, 1}},
        SegmentCase{"EuroPastTheEnd", Times(159, "a") + kEuro, {kGsm, 161, 2}},
        SegmentCase{"BracketPastTheEnd", Times(159, "a") + "[", {kGsm, 161, 2}},
        // 152 + 2 + 152 septets fit two parts of 153 by count, but the
        // bracket may not be split: it opens the second part, which then
        // overflows into a third.
        SegmentCase{"EscapeNotSplit", Times(152, "a") + "[" + Times(152, "a"), {kGsm, 306, 3}},
        SegmentCase{"EscapeFitsAtPartEnd", Times(151, "a") + "[" + Times(153, "a"),
                    {kGsm, 306, 2}},
        SegmentCase{"GraveAccentIsNotGsm", "a`b", {kUcs2, 3, 1}},
        SegmentCase{"Ucs270", Times(70, kDevanagari), {kUcs2, 70, 1}},
        SegmentCase{"Ucs271", Times(71, kDevanagari), {kUcs2, 71, 2}},
        SegmentCase{"Ucs2134", Times(134, kDevanagari), {kUcs2, 134, 2}},
        SegmentCase{"Ucs2135", Times(135, kDevanagari), {kUcs2, 135, 3}},
        SegmentCase{"EmojiCountsTwo", Times(68, "a") + kEmoji, {kUcs2, 70, 1}},
        SegmentCase{"EmojiPastTheEnd", Times(69, "a") + kEmoji, {kUcs2, 71, 2}},
        SegmentCase{"SurrogatePairNotSplit", Times(66, "a") + kEmoji + Times(66, "a"),
                    {kUcs2, 134, 3}},
        // A stray byte is the Latin-1 character of its value: 0xE9 is é.
        SegmentCase{"MalformedByteAsLatin1", "caf\xE9", {kGsm, 4, 1}},
        SegmentCase{"TruncatedSequence", "ab\xE2\x82", {kUcs2, 4, 1}}),
    [](const ::testing::TestParamInfo<SegmentCase>& info) { return info.param.name; });

TEST(EncodingName, NamesBoth) {
  EXPECT_EQ(EncodingName(MessageEncoding::kGsm7), "GSM 7-bit");
  EXPECT_EQ(EncodingName(MessageEncoding::kUcs2), "UCS-2");
}

}  // namespace
}  // namespace pelorin
