// A send run with an exclusion list: the rows whose number is on it are left
// out of the records, counted on a line of their own, and never mistaken
// for the end of the sheet.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/messaging/exclusion_list.h"
#include "core/messaging/popup_form.h"
#include "core/messaging/send_run.h"
#include "tests/support/fakes/fake_phone_numbers.h"
#include "tests/support/fakes/test_addin.h"
#include "tests/unit/messaging_run/compose_capture.h"
#include "tests/unit/messaging_run/owner_form.h"

namespace pelorin {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

class SendRunExclusionTest : public ::testing::Test {
 protected:
  SendRunExclusionTest() {
    t.LogIn("u");
    owner.Show();
  }

  // Rows first..last hold "9<row>", each a number the fake reads.
  void FillRows(std::int64_t first, std::int64_t last) {
    for (std::int64_t row = first; row <= last; ++row) {
      const std::string mobile = "9" + std::to_string(row);
      t.application.sheet.Set("B", row, mobile);
      t.application.sheet.Set("C", row, "n" + std::to_string(row));
      numbers.Add(mobile, NumberKind::kMobile, "+91" + mobile);
    }
  }
  void Exclude(std::int64_t first, std::int64_t last) {
    for (std::int64_t row = first; row <= last; ++row) list.Add("9" + std::to_string(row));
  }

  SendRunResult Run(std::vector<RowRange> ranges, const RowFilter* filter) {
    SendRequest request;
    request.message_template = "Hi |C|";
    request.mobile_column = "B";
    request.multiple_range = ranges.size() > 1;
    request.ranges = std::move(ranges);
    SendRun run(t.context, t.application.sheet);
    run.set_row_filter(filter);
    return run.Run(request, popup);
  }

  std::vector<int> RecordCounts() const {
    std::vector<int> counts;
    for (const HttpRequest& request : t.transport.requests)
      counts.push_back(testing::ReadComposePost(request).records);
    return counts;
  }
  std::vector<std::string> Mobiles() const {
    std::vector<std::string> mobiles;
    for (const HttpRequest& request : t.transport.requests) {
      const testing::ComposePost post = testing::ReadComposePost(request);
      std::string_view records = post.body.at("variable1");
      for (std::size_t end = records.find("|*^"); end != std::string_view::npos;
           end = records.find("|*^")) {
        mobiles.emplace_back(records.substr(0, end));
        records.remove_prefix(records.find("~?*") + 3);
      }
    }
    return mobiles;
  }

  testing::TestAddin t;
  testing::OwnerForm owner{t.ui};
  frmPopup popup{t.ui, &owner};
  testing::FakePhoneNumbers numbers;
  ExclusionList list{numbers, "IN"};
};

TEST_F(SendRunExclusionTest, ListedRowsAreLeftOutAndCountedOnTheLastLine) {
  t.transport.responder = [](const HttpRequest&) { return std::string("Error : 0 - SUCCESS."); };
  FillRows(2, 6);
  t.application.sheet.Set("B", 4, "");  // an empty row stays an empty row
  Exclude(3, 3);
  Exclude(5, 5);
  const SendRunResult result = Run({{2, 6}}, &list);
  EXPECT_THAT(Mobiles(), ElementsAre("92", "96"));
  EXPECT_EQ(result.outcome, SendOutcome::kCompleted);
  EXPECT_EQ(result.status_text,
            "Process started... (Range from 2 to 6)\r\n"
            "Processed 5 record(s) out of selected 5 and \r\n"
            "1 empty spaced record(s) ignored \r\n"
            "Process Completed..!!\r\n"
            "2 record(s) skipped for the exclusion list\r\n");
  EXPECT_EQ(popup.control("txtStatus").text, result.status_text);
}

TEST_F(SendRunExclusionTest, APacketWhollyExcludedIsSentEmptyNotTakenForTheSheetsEnd) {
  t.transport.responder = [](const HttpRequest&) { return std::string("Error : 0 - SUCCESS."); };
  t.settings.SavePacketSize("10");
  FillRows(1, 25);
  Exclude(11, 20);
  const SendRunResult result = Run({{1, 25}}, &list);
  EXPECT_THAT(RecordCounts(), ElementsAre(10, 0, 5));
  EXPECT_EQ(result.outcome, SendOutcome::kCompleted);
  EXPECT_THAT(result.status_text, Not(HasSubstr("End Range is out of scope")));
  EXPECT_THAT(result.status_text, HasSubstr("10 record(s) skipped for the exclusion list\r\n"));
}

TEST_F(SendRunExclusionTest, WithoutAFilterTheStatusTextHasNoExtraLine) {
  t.transport.responder = [](const HttpRequest&) { return std::string("Error : 0 - SUCCESS."); };
  FillRows(2, 3);
  Exclude(2, 3);
  const SendRunResult result = Run({{2, 3}}, nullptr);
  EXPECT_EQ(RecordCounts(), std::vector<int>{2});
  EXPECT_EQ(result.status_text,
            "Process started... (Range from 2 to 3)\r\n"
            "Processed 2 record(s) out of selected 2\r\n"
            "Process Completed..!!\r\n");
}

}  // namespace
}  // namespace pelorin
