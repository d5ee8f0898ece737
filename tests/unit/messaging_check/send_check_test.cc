#include "core/messaging/send_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/messaging/exclusion_list.h"
#include "core/messaging/send_check_text.h"
#include "tests/support/fakes/fake_application.h"
#include "tests/support/fakes/fake_phone_numbers.h"

namespace pelorin {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr NumberKind kMobile = NumberKind::kMobile;

class SendCheckTest : public ::testing::Test {
 protected:
  SendCheckTest() {
    numbers.Add("+91 98765 43210", kMobile, "+919876543210")
        .Add("919876543210", kMobile, "+919876543210")
        .Add("09876543210", kMobile, "+919876543210")
        .Add("9876543211", kMobile, "+919876543211")
        .Add("9876543212", kMobile, "+919876543212")
        .Add("12345", NumberKind::kInvalid, "+9112345")
        .Add("02223456789", NumberKind::kNotMobile, "+912223456789");
  }

  void Row(std::int64_t row, std::string mobile, std::string name = "x") {
    sheet.Set("B", row, std::move(mobile));
    sheet.Set("C", row, std::move(name));
  }

  SendRequest Request(std::vector<RowRange> ranges, std::string message = "Hi |C|") {
    SendRequest request;
    request.message_template = std::move(message);
    request.mobile_column = "B";
    request.multiple_range = ranges.size() > 1;
    request.ranges = std::move(ranges);
    return request;
  }

  SendCheckReport Check(const SendRequest& request, const ExclusionList* excluded = nullptr) {
    return SendCheck(numbers, "IN", excluded).Run(sheet, request);
  }

  testing::FakeWorksheet sheet;
  testing::FakePhoneNumbers numbers;
};

TEST_F(SendCheckTest, EachProblemRowIsReportedOnceUnderItsOwnHeading) {
  Row(2, "+91 98765 43210");
  Row(3, "12345");
  Row(4, "   ");  // only spaces: the send treats it as empty
  Row(5, "919876543210");
  Row(6, "02223456789");
  Row(7, "9876543211");  // on the list
  Row(8, "09876543210");
  Row(9, "9876543212");
  Row(10, "not a number");
  ExclusionList excluded(numbers, "IN");
  excluded.Add(" 9876543211 ");

  const SendCheckReport report = Check(Request({{2, 12}}), &excluded);

  EXPECT_EQ(report.rows, 11);
  EXPECT_EQ(report.messages, 7);  // the empty and excluded rows are not sent
  EXPECT_EQ(report.segments, 7);
  EXPECT_THAT(report.invalid,
              ElementsAre(NumberProblem{3, "12345", NumberKind::kInvalid},
                          NumberProblem{6, "02223456789", NumberKind::kNotMobile},
                          NumberProblem{10, "not a number", NumberKind::kNotANumber}));
  EXPECT_THAT(report.duplicates, ElementsAre(DuplicateNumber{"+919876543210", {2, 5, 8}}));
  EXPECT_THAT(report.excluded, ElementsAre(ExcludedRow{7, "9876543211"}));
  EXPECT_EQ(report.empty_row_count, 3);
  EXPECT_THAT(report.empty_rows, ElementsAre(RowRange{4, 4}, RowRange{11, 12}));
  EXPECT_TRUE(report.error.empty());
  EXPECT_TRUE(report.WouldFail());
  EXPECT_EQ(numbers.regions_asked, std::set<std::string>{"IN"});
}

TEST_F(SendCheckTest, CostsMergedMessagesAsTheSendMergesThem) {
  Row(2, "9876543211", std::string(150, 'a'));       // "Hi " + 150: 153 septets, 1 part
  Row(3, "9876543212", std::string(158, 'a'));       // 161 septets: 2 parts
  Row(4, "919876543210", "\u0915");                   // Devanagari: UCS-2, 1 part
  const SendCheckReport report = Check(Request({{2, 4}}));
  EXPECT_EQ(report.messages, 3);
  EXPECT_EQ(report.segments, 4);
  EXPECT_EQ(report.gsm_messages, 2);
  EXPECT_EQ(report.ucs2_messages, 1);
  EXPECT_EQ(report.messages_by_segments, (std::map<std::int64_t, std::int64_t>{{1, 2}, {2, 1}}));
  EXPECT_FALSE(report.WouldFail());
}

TEST_F(SendCheckTest, RangesAreCheckedAsTheSendReadsThem) {
  Row(2, "9876543211");
  Row(3, "9876543212");
  // An overlapping second range sends rows 3 again: the same number twice.
  const SendCheckReport report = Check(Request({{2, 3}, {3, 3}}));
  EXPECT_EQ(report.rows, 3);
  EXPECT_EQ(report.messages, 3);
  EXPECT_THAT(report.duplicates, ElementsAre(DuplicateNumber{"+919876543212", {3, 3}}));
}

TEST_F(SendCheckTest, ARangeLongerThanOneBlockKeepsItsEmptyRunsWhole) {
  Row(2, "9876543211");
  Row(9000, "9876543212");
  const SendCheckReport report = Check(Request({{2, 9000}}));
  EXPECT_EQ(report.messages, 2);
  EXPECT_THAT(report.empty_rows, ElementsAre(RowRange{3, 8999}));
}

TEST_F(SendCheckTest, ARefusedCellIsWhereTheSendWouldStop) {
  Row(2, "9876543211");
  const SendCheckReport report = Check(Request({{2, 3}}, "Hi |12|"));
  EXPECT_THAT(report.error, HasSubstr("row 2"));
  EXPECT_EQ(report.messages, 0);
  EXPECT_TRUE(report.WouldFail());
}

TEST_F(SendCheckTest, CreditBelowTheSegmentsFails) {
  Row(2, "9876543211");
  Row(3, "9876543212");
  SendCheckReport report = Check(Request({{2, 3}}));
  report.credits = 2;
  EXPECT_FALSE(report.WouldFail());
  report.credits = 1;
  EXPECT_TRUE(report.TooLittleCredit());
  EXPECT_TRUE(report.WouldFail());
  EXPECT_THAT(FormatCheckReport(report), HasSubstr("needs 2 credits, 1 available"));
}

TEST(ExclusionList, ReadsEntriesAsNumbersOfTheRegion) {
  testing::FakePhoneNumbers numbers;
  numbers.Add("+91 98765 43210", kMobile, "+919876543210")
      .Add("09876543210", kMobile, "+919876543210")
      .Add("12345", NumberKind::kInvalid, "+9112345");
  ExclusionList list(numbers, "IN");
  for (const char* entry : {"+91 98765 43210", "", "   ", "Mobile", "12345"}) list.Add(entry);
  EXPECT_EQ(list.size(), 2u);  // an invalid number can still be left out
  EXPECT_THAT(list.unreadable(), ElementsAre("Mobile"));
  EXPECT_TRUE(list.Skips("09876543210"));
  EXPECT_TRUE(list.Skips("12345"));
  EXPECT_FALSE(list.Skips("Mobile"));  // text that is no number matches nothing
  EXPECT_FALSE(list.ContainsNumber(""));
}

TEST(SplitListLines, TakesEitherLineEndAndDropsTheByteOrderMark) {
  EXPECT_THAT(SplitListLines("\xEF\xBB\xBF" "1\r\n2\n\n3"), ElementsAre("1", "2", "", "3"));
  EXPECT_THAT(SplitListLines("1\n"), ElementsAre("1"));
  EXPECT_TRUE(SplitListLines("").empty());
}

TEST(CheckText, GroupsThousandsAndRowRuns) {
  EXPECT_EQ(GroupThousands(0), "0");
  EXPECT_EQ(GroupThousands(999), "999");
  EXPECT_EQ(GroupThousands(1000), "1,000");
  EXPECT_EQ(GroupThousands(1234567), "1,234,567");
  EXPECT_EQ(GroupThousands(-1234), "-1,234");
  EXPECT_EQ(FormatRowRuns({{5, 5}, {8, 12}}), "5, 8-12");
}

TEST(ValidateCheckRequest, KeepsTheSendsRefusalsButNotItsHours) {
  SendDialogInput input;
  input.message = "  Hi |C|  ";
  input.mobile_column = "B";
  input.start_row = "2";
  input.end_row = "9";
  SendValidation checked = ValidateCheckRequest(input);
  ASSERT_EQ(checked.outcome, SendValidation::Outcome::kAccepted);
  EXPECT_EQ(checked.request.message_template, "Hi |C|");
  EXPECT_THAT(checked.request.ranges, ElementsAre(RowRange{2, 9}));
  EXPECT_TRUE(checked.request.schedule.empty());

  input.end_row = "1";
  checked = ValidateCheckRequest(input);
  EXPECT_EQ(checked.outcome, SendValidation::Outcome::kRefused);
  EXPECT_EQ(checked.refusal.message, send_messages::kReversedRows);
}

}  // namespace
}  // namespace pelorin
