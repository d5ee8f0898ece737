#include "core/messaging/send_run.h"

#include <gtest/gtest.h>

#include "core/messaging/popup_form.h"
#include "core/messaging/run_file_name.h"
#include "core/messaging/run_name_claim.h"
#include "core/service/url_encode.h"
#include "tests/support/fakes/test_addin.h"
#include "tests/unit/messaging_run/compose_capture.h"
#include "tests/unit/messaging_run/owner_form.h"

namespace pelorin {
namespace {

using testing::ComposePost;
using testing::ReadComposePost;

constexpr const char* kSuccess = "Error : 0 - SUCCESS.";

class SendRunTest : public ::testing::Test {
 protected:
  SendRunTest() {
    t.LogIn("u");
    t.settings.SaveDNDStatus("3");
    t.transport.responder = [this](const HttpRequest&) {
      if (replies.empty()) return std::string(kSuccess);
      std::string reply = replies.front();
      replies.pop_front();
      if (reply == testing::FakeTransport::kFail) throw TransportError("The connection was reset");
      return reply;
    };
    owner.Show();
  }

  // Rows first..last get a number in B and a name in C.
  void FillRows(std::int64_t first, std::int64_t last) {
    for (std::int64_t row = first; row <= last; ++row) {
      sheet().Set("B", row, "9" + std::to_string(row));
      sheet().Set("C", row, "n" + std::to_string(row));
    }
  }
  testing::FakeWorksheet& sheet() { return t.application.sheet; }

  SendRequest Request(std::vector<RowRange> ranges, bool multiple) {
    SendRequest request;
    request.message_template = "Hi |C|";
    request.mobile_column = "B";
    request.multiple_range = multiple;
    request.ranges = std::move(ranges);
    request.sender_id = "PELRN";
    return request;
  }
  SendRunResult Run(const SendRequest& request) {
    SendRun run(t.context, sheet());
    run.set_progress_callback([this](const SendProgress& p) { progress.push_back(p); });
    return run.Run(request, popup);
  }
  SendRunResult RunSimple(std::int64_t first, std::int64_t last) {
    return Run(Request({{first, last}}, false));
  }
  SendRunResult RunRanges(std::vector<RowRange> ranges) {
    return Run(Request(std::move(ranges), true));
  }

  std::vector<ComposePost> Posts() const {
    std::vector<ComposePost> posts;
    for (const HttpRequest& request : t.transport.requests)
      posts.push_back(ReadComposePost(request));
    return posts;
  }
  std::vector<std::string> States() const {
    std::vector<std::string> states;
    for (const ComposePost& post : Posts()) states.push_back(post.query.at("state"));
    return states;
  }
  std::vector<int> RecordCounts() const {
    std::vector<int> counts;
    for (const ComposePost& post : Posts()) counts.push_back(post.records);
    return counts;
  }
  std::string Shown() { return popup.control("txtStatus").text; }

  testing::TestAddin t;
  testing::OwnerForm owner{t.ui};
  frmPopup popup{t.ui, &owner};
  std::deque<std::string> replies;
  std::vector<SendProgress> progress;
};

struct PacketCase {
  const char* name;
  std::int64_t last_row;
  std::vector<std::string> states;
  std::vector<int> records;
  const char* status;
};

class SimpleRangePackets : public SendRunTest, public ::testing::WithParamInterface<PacketCase> {};

TEST_P(SimpleRangePackets, SendsPacketsWithTheirStates) {
  const PacketCase& c = GetParam();
  t.settings.SavePacketSize("10");
  FillRows(1, c.last_row);
  SendRunResult result = RunSimple(1, c.last_row);
  EXPECT_EQ(States(), c.states);
  EXPECT_EQ(RecordCounts(), c.records);
  EXPECT_EQ(Shown(), c.status);
  EXPECT_EQ(result.status_text, c.status);
  EXPECT_EQ(result.outcome, SendOutcome::kCompleted);
  EXPECT_TRUE(popup.close_enabled());
}

INSTANTIATE_TEST_SUITE_P(
    PacketSizeTen, SimpleRangePackets,
    ::testing::Values(
        PacketCase{"OnePacketIsAll",
                   10,
                   {"ALL"},
                   {10},
                   "Process started... (Range from 1 to 10)\r\n"
                   "Processed 10 record(s) out of selected 10\r\nProcess Completed..!!\r\n"},
        PacketCase{"LastPacketIsEnd",
                   25,
                   {"START", "START", "END"},
                   {10, 10, 5},
                   "Process started... (Range from 1 to 25)\r\n"
                   "Processed 10 record(s) out of selected 25\r\n"
                   "Processed 20 record(s) out of selected 25\r\n"
                   "Processed 25 record(s) out of selected 25\r\nProcess Completed..!!\r\n"},
        PacketCase{"BoundaryGetsAnEmptyClosingPacket",
                   20,
                   {"START", "START", "END"},
                   {10, 10, 0},
                   "Process started... (Range from 1 to 20)\r\n"
                   "Processed 10 record(s) out of selected 20\r\n"
                   "Processed 20 record(s) out of selected 20\r\nProcess Completed..!!\r\n"},
        PacketCase{"OneRowPastTheBoundary",
                   21,
                   {"START", "START", "END"},
                   {10, 10, 1},
                   "Process started... (Range from 1 to 21)\r\n"
                   "Processed 10 record(s) out of selected 21\r\n"
                   "Processed 20 record(s) out of selected 21\r\n"
                   "Processed 21 record(s) out of selected 21\r\nProcess Completed..!!\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendRunTest, WithoutAStoredPacketSizeSendsAThousandRowsAPacket) {
  FillRows(1, 1001);
  RunSimple(1, 1001);
  EXPECT_EQ(RecordCounts(), (std::vector<int>{1000, 1}));
  EXPECT_EQ(States(), (std::vector<std::string>{"START", "END"}));
}

TEST_F(SendRunTest, EmptyRowsAreCountedOverAllPacketsAndReportedAtTheEnd) {
  t.settings.SavePacketSize("10");
  FillRows(1, 20);
  sheet().Set("B", 3, "");
  sheet().Set("B", 14, "  ");
  sheet().Set("B", 15, "");
  RunSimple(1, 20);
  EXPECT_EQ(Shown(),
            "Process started... (Range from 1 to 20)\r\n"
            "Processed 10 record(s) out of selected 20\r\n"
            "Processed 20 record(s) out of selected 20\r\n"
            "and \r\n3 empty spaced record(s) ignored \r\nProcess Completed..!!\r\n");
}

TEST_F(SendRunTest, AnEmptyPacketBeforeTheLastStopsTheRunOutOfRange) {
  t.settings.SavePacketSize("10");
  FillRows(1, 10);
  FillRows(21, 30);
  SendRunResult result = RunSimple(1, 30);
  EXPECT_EQ(States(), (std::vector<std::string>{"START"}));
  EXPECT_EQ(Shown(),
            "Process started... (Range from 1 to 30)\r\n"
            "Processed 10 record(s) out of selected 30\r\n"
            "Unable to process your request. !!!\r\nEnd Range is out of scope from Excel sheet.\r\n"
            "Please try again with correct End Range!!!");
  EXPECT_EQ(result.outcome, SendOutcome::kFailed);
  EXPECT_TRUE(popup.close_enabled());
}

TEST_F(SendRunTest, AllRowsEmptySendsNothingAndAppendsTheFailure) {
  SendRunResult result = RunSimple(2, 71);
  EXPECT_TRUE(t.transport.requests.empty());
  EXPECT_EQ(Shown(), "Process started... (Range from 2 to 71)\r\n-1!!!\r\n");
  EXPECT_EQ(result.outcome, SendOutcome::kFailed);
}

TEST_F(SendRunTest, OnePacketWithEmptyRowsAndTheReferenceText) {
  FillRows(2, 71);
  sheet().Set("B", 9, "");
  sheet().Set("B", 40, " ");
  RunSimple(2, 71);
  EXPECT_EQ(Shown(),
            "Process started... (Range from 2 to 71)\r\nProcessed 70 record(s) out of selected 70 "
            "and \r\n2 empty spaced record(s) ignored \r\nProcess Completed..!!\r\n");
}

TEST_F(SendRunTest, FailedPacketAppendsMinusOneAfterTheProgressShown) {
  t.settings.SavePacketSize("10");
  FillRows(1, 30);
  replies = {kSuccess, "Error : 2 - Insufficient credit."};
  SendRunResult result = RunSimple(1, 30);
  EXPECT_EQ(States(), (std::vector<std::string>{"START", "START"}));
  EXPECT_EQ(Shown(),
            "Process started... (Range from 1 to 30)\r\n"
            "Processed 10 record(s) out of selected 30\r\n-1!!!\r\n");
  EXPECT_EQ(result.outcome, SendOutcome::kFailed);
}

TEST_F(SendRunTest, SinglePacketReplyIsShownWithTheBangs) {
  FillRows(1, 3);
  replies = {"Error : 2 - Insufficient credit."};
  RunSimple(1, 3);
  EXPECT_EQ(Shown(),
            "Process started... (Range from 1 to 3)\r\nError : 2 - Insufficient credit.!!!\r\n");
}

TEST_F(SendRunTest, SinglePacketEmptyReplyBecomesMinusOne) {
  FillRows(1, 3);
  replies = {""};
  RunSimple(1, 3);
  EXPECT_EQ(Shown(), "Process started... (Range from 1 to 3)\r\n-1!!!\r\n");
}

TEST_F(SendRunTest, SinglePacketTimeOut) {
  FillRows(1, 3);
  replies = {"Error : -1 - Operation Timed Out."};
  RunSimple(1, 3);
  EXPECT_EQ(Shown(),
            "Process started... (Range from 1 to 3)\r\nOperation Timed Out. Please try again!!!");
  EXPECT_TRUE(popup.close_enabled());
}

TEST_F(SendRunTest, TransportFailureShowsItsDescriptionAndFailsThePacket) {
  FillRows(1, 3);
  replies = {testing::FakeTransport::kFail};
  RunSimple(1, 3);
  EXPECT_EQ(t.ui.MessageTexts(), (std::vector<std::string>{"The connection was reset"}));
  EXPECT_EQ(Shown(), "Process started... (Range from 1 to 3)\r\nERROR!!!\r\n");
}

TEST_F(SendRunTest, ClosingPacketFailureAsksToTryAgain) {
  t.settings.SavePacketSize("10");
  FillRows(1, 20);
  replies = {kSuccess, kSuccess, "Error : 5 - Run closed."};
  SendRunResult result = RunSimple(1, 20);
  EXPECT_EQ(Shown(),
            "Process started... (Range from 1 to 20)\r\n"
            "Processed 10 record(s) out of selected 20\r\n"
            "Processed 20 record(s) out of selected 20\r\n"
            "Unable to process your request. Please try again!!!");
  EXPECT_EQ(result.outcome, SendOutcome::kFailed);
}

TEST_F(SendRunTest, UploadCarriesTheRunsValuesInUrlAndForm) {
  FillRows(1, 2);
  sheet().Set("C", 2, "Tom & Jerry");
  SendRequest request = Request({{1, 2}}, false);
  request.sender_id = "MY-ID 1";
  request.schedule = "2012-March-05|09|30|09|30";
  request.flash = true;
  Run(request);
  ASSERT_EQ(t.transport.requests.size(), 1u);
  const HttpRequest& sent = t.transport.requests[0];
  EXPECT_EQ(sent.url,
            "http://www.pelorin.example/PelorinExcelplugin02022012/Compose.aspx?uid=u"
            "&ip=192.168.1.20&sid=MY%2DID+1&state=ALL&filename=u_20263514407&catid=3");
  EXPECT_EQ(sent.content_type, "application/x-www-form-urlencoded");
  EXPECT_EQ(sent.body, "variable1=" + strURLEncode("91|*^Hi n1~?*92|*^Hi Tom & Jerry~?*") +
                           "&variable2=2012-March-05|09|30|09|30&variable3=Y");
}

TEST_F(SendRunTest, QueryValuesCannotAddParameters) {
  t.LogIn("a&state=END");
  t.settings.SaveDNDStatus("3&x=1");
  FillRows(1, 1);
  Run(Request({{1, 1}}, false));
  ComposePost post = ReadComposePost(t.transport.requests.at(0));
  EXPECT_EQ(post.query.at("uid"), "a&state=END");
  EXPECT_EQ(post.query.at("state"), "ALL");
  EXPECT_EQ(post.query.at("catid"), "3&x=1");
  EXPECT_EQ(post.query.count("x"), 0u);
  EXPECT_EQ(post.body.at("variable3"), "N");
}

TEST_F(SendRunTest, MultipleRangeSendsEachItemWithTheRangeState) {
  FillRows(1, 12);
  SendRunResult result = RunRanges({{1, 5}, {10, 12}});
  EXPECT_EQ(States(), (std::vector<std::string>{"START", "END"}));
  EXPECT_EQ(RecordCounts(), (std::vector<int>{5, 3}));
  std::vector<ComposePost> posts = Posts();
  EXPECT_EQ(posts[0].query.at("filename"), posts[1].query.at("filename"));
  EXPECT_EQ(Shown(),
            "Process started... (Range from 1 to 5)\r\n"
            "Processed 5 record(s) out of selected 5\r\nProcess Completed..!!\r\n"
            "Process started... (Range from 10 to 12)\r\n"
            "Processed 3 record(s) out of selected 3\r\nProcess Completed..!!\r\n");
  EXPECT_EQ(result.outcome, SendOutcome::kCompleted);
}

TEST_F(SendRunTest, MultipleRangeOfOneItemIsSentAsEnd) {
  FillRows(1, 5);
  RunRanges({{1, 5}});
  EXPECT_EQ(States(), (std::vector<std::string>{"END"}));
}

TEST_F(SendRunTest, LastItemWithoutRecordsStillClosesTheRun) {
  FillRows(1, 5);
  SendRunResult result = RunRanges({{1, 5}, {20, 22}});
  EXPECT_EQ(States(), (std::vector<std::string>{"START", "END"}));
  EXPECT_EQ(RecordCounts(), (std::vector<int>{5, 0}));
  EXPECT_EQ(Shown(),
            "Process started... (Range from 1 to 5)\r\n"
            "Processed 5 record(s) out of selected 5\r\nProcess Completed..!!\r\n"
            "Process started... (Range from 20 to 22)\r\nProcess Completed..!!\r\n");
  EXPECT_TRUE(popup.close_enabled());
  EXPECT_EQ(result.outcome, SendOutcome::kCompleted);
}

TEST_F(SendRunTest, EarlierEmptyItemSendsNothing) {
  FillRows(10, 12);
  RunRanges({{1, 5}, {10, 12}});
  EXPECT_EQ(States(), (std::vector<std::string>{"END"}));
}

TEST_F(SendRunTest, MultiPacketItemsCarryTheRangeStateAndClose) {
  t.settings.SavePacketSize("10");
  FillRows(1, 32);
  RunRanges({{1, 25}, {30, 32}});
  EXPECT_EQ(States(), (std::vector<std::string>{"START", "START", "START", "START", "END"}));
  EXPECT_EQ(RecordCounts(), (std::vector<int>{10, 10, 5, 0, 3}));
}

TEST_F(SendRunTest, LastItemEndingOnABoundaryClosesWithEnd) {
  t.settings.SavePacketSize("10");
  FillRows(1, 20);
  RunRanges({{1, 20}});
  EXPECT_EQ(States(), (std::vector<std::string>{"START", "START", "END"}));
  EXPECT_EQ(RecordCounts(), (std::vector<int>{10, 10, 0}));
}

TEST_F(SendRunTest, AFailedItemDoesNotStopTheNext) {
  FillRows(1, 12);
  replies = {"Error : 2 - Insufficient credit."};
  SendRunResult result = RunRanges({{1, 5}, {10, 12}});
  EXPECT_EQ(States(), (std::vector<std::string>{"START", "END"}));
  EXPECT_EQ(Shown(),
            "Process started... (Range from 1 to 5)\r\nError : 2 - Insufficient credit.!!!\r\n"
            "Process started... (Range from 10 to 12)\r\n"
            "Processed 3 record(s) out of selected 3\r\nProcess Completed..!!\r\n");
  EXPECT_EQ(result.outcome, SendOutcome::kFailed);
}

// A run whose last item failed is still closed, but its closing packet must
// not announce a completion.
struct FailedLastItemCase {
  const char* name;
  std::vector<RowRange> ranges;
  std::deque<std::string> replies;
  std::vector<std::string> states;
  friend void PrintTo(const FailedLastItemCase& c, std::ostream* os) { *os << c.name; }
};

class FailedLastItem : public SendRunTest,
                       public ::testing::WithParamInterface<FailedLastItemCase> {};

TEST_P(FailedLastItem, ClosesTheRunWithoutClaimingCompletion) {
  t.settings.SavePacketSize("10");
  FillRows(1, 5);
  FillRows(100, 110);
  replies = GetParam().replies;
  SendRunResult result = RunRanges(GetParam().ranges);
  EXPECT_EQ(States(), GetParam().states);
  EXPECT_EQ(RecordCounts().back(), 0);
  EXPECT_FALSE(Shown().ends_with("Process Completed..!!\r\n")) << Shown();
  EXPECT_TRUE(popup.close_enabled());
  EXPECT_EQ(result.outcome, SendOutcome::kFailed);
}

INSTANTIATE_TEST_SUITE_P(
    Items, FailedLastItem,
    ::testing::Values(
        // Rows 100..110 fill two packets; the third is empty, so out of range.
        FailedLastItemCase{
            "OutOfRange", {{1, 5}, {100, 130}}, {}, {"START", "START", "START", "END"}},
        FailedLastItemCase{"FailedPacket",
                           {{1, 5}, {100, 120}},
                           {kSuccess, "Server busy"},
                           {"START", "START", "END"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendRunTest, ARefusedAddressInTheOnlyItemStillClosesTheRunQuietly) {
  FillRows(1, 5);
  SendRequest request = Request({{1, 5}}, true);
  request.message_template = "Hi |12|";
  SendRunResult result = Run(request);
  EXPECT_EQ(States(), (std::vector<std::string>{"END"}));
  EXPECT_EQ(Shown(), "Process started... (Range from 1 to 5)\r\n");
  EXPECT_EQ(result.outcome, SendOutcome::kUnfinished);
}

TEST_F(SendRunTest, ClosingTheWindowDuringAMultipleRangeStillClosesTheRun) {
  t.settings.SavePacketSize("10");
  FillRows(1, 5);
  FillRows(100, 130);
  t.ui.on_yield = [this] {
    if (t.ui.yields == 2) popup.CloseWindow();
  };
  SendRunResult result = RunRanges({{1, 5}, {100, 130}});
  EXPECT_EQ(States(), (std::vector<std::string>{"START", "START", "END"}));
  EXPECT_EQ(result.outcome, SendOutcome::kUnfinished);
}

TEST_F(SendRunTest, RefusedAddressEndsASimpleRunSilently) {
  FillRows(1, 3);
  SendRequest request = Request({{1, 3}}, false);
  request.message_template = "Total |12|";
  SendRunResult result = Run(request);
  EXPECT_TRUE(t.transport.requests.empty());
  EXPECT_TRUE(t.ui.messages.empty());
  EXPECT_EQ(Shown(), "Process started... (Range from 1 to 3)\r\n");
  EXPECT_FALSE(popup.close_enabled());
  EXPECT_EQ(result.outcome, SendOutcome::kUnfinished);
  EXPECT_EQ(result.error, "row 1: invalid cell address 121");
  EXPECT_FALSE(t.ui.busy);
}

TEST_F(SendRunTest, RefusedAddressEndsOnlyItsItem) {
  FillRows(1, 12);
  SendRequest request = Request({{3, 5}, {10, 12}}, true);
  // A worksheet that refuses row 4 stands for a host refusing an address.
  struct RefusingSheet : testing::FakeWorksheet {
    std::string CellText(std::string_view column, std::int64_t row) const override {
      if (row == 4) throw CellAddressError("refused " + std::string(column) + "4");
      return FakeWorksheet::CellText(column, row);
    }
  } refusing;
  refusing.cells = sheet().cells;
  SendRun run(t.context, refusing);
  SendRunResult result = run.Run(request, popup);
  EXPECT_EQ(States(), (std::vector<std::string>{"END"}));
  EXPECT_EQ(result.error, "row 4: refused B4");
  EXPECT_EQ(result.outcome, SendOutcome::kUnfinished);
}

class BadPacketSize : public SendRunTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadPacketSize, EndsTheRunBeforeAnyUpload) {
  t.settings.SavePacketSize(GetParam());
  FillRows(1, 30);
  SendRunResult result = RunSimple(1, 30);
  EXPECT_TRUE(t.transport.requests.empty());
  EXPECT_EQ(result.outcome, SendOutcome::kUnfinished);
  EXPECT_NE(result.error.find("packet size"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Stored, BadPacketSize,
                         ::testing::Values("abc", "0", "-5", "10.5", "99999999999999999999"));

TEST_F(SendRunTest, PacketSizeWithSpacesIsRead) {
  t.settings.SavePacketSize(" 10 ");
  FillRows(1, 15);
  RunSimple(1, 15);
  EXPECT_EQ(RecordCounts(), (std::vector<int>{10, 5}));
}

// Each reading one second later than the one before.
class SteppingClock : public Clock {
 public:
  LocalDateTime Now() const override {
    ++readings;
    return readings == 1 ? LocalDateTime{2025, 12, 31, 23, 59, 59}
                         : LocalDateTime{2026, 1, 1, 0, 0, 0};
  }
  mutable int readings = 0;
};

TEST_F(SendRunTest, OneClockReadingNamesTheWholeRun) {
  SteppingClock clock;
  AddinContext context{t.ui,      t.settings, t.service,      clock,
                       t.network, t.browser,  &t.application, nullptr};
  t.settings.SavePacketSize("10");
  FillRows(1, 30);
  SendRun run(context, sheet());
  SendRunResult result = run.Run(Request({{1, 25}, {26, 30}}, true), popup);
  EXPECT_EQ(clock.readings, 1);
  EXPECT_EQ(result.run_file_name, "u_20251231235959");
  EXPECT_EQ(result.started.second, 59);
  for (const ComposePost& post : Posts()) EXPECT_EQ(post.query.at("filename"), "u_20251231235959");
}

TEST_F(SendRunTest, ClosingTheWindowDuringTheRunStopsIt) {
  t.settings.SavePacketSize("10");
  FillRows(1, 30);
  t.ui.on_yield = [this] {
    if (t.ui.yields == 2) popup.CloseWindow();
  };
  SendRunResult result = RunSimple(1, 30);
  EXPECT_EQ(States(), (std::vector<std::string>{"START"}));
  EXPECT_EQ(result.outcome, SendOutcome::kUnfinished);
  EXPECT_FALSE(popup.loaded());
  EXPECT_FALSE(owner.loaded());
}

TEST_F(SendRunTest, YieldsBeforeEveryPacketOfAMultiPacketRange) {
  t.settings.SavePacketSize("10");
  FillRows(1, 25);
  RunSimple(1, 25);
  EXPECT_EQ(t.ui.yields, 3);
}

TEST_F(SendRunTest, ProgressFollowsThePackets) {
  t.settings.SavePacketSize("10");
  FillRows(1, 30);
  RunRanges({{1, 25}, {26, 30}});
  std::vector<std::int64_t> done;
  for (const SendProgress& p : progress) {
    EXPECT_EQ(p.rows_total, 30);
    done.push_back(p.rows_done);
  }
  // The first item ends on 25 with a START packet, so it is closed at 25.
  EXPECT_EQ(done, (std::vector<std::int64_t>{0, 10, 20, 25, 25, 30}));
}

TEST_F(SendRunTest, HidesTheDialogShowsTheWindowAndRestoresTheCursor) {
  t.ui.SetBusyCursor(true);
  FillRows(1, 1);
  RunSimple(1, 1);
  EXPECT_FALSE(owner.visible());
  EXPECT_TRUE(owner.loaded());
  EXPECT_TRUE(popup.visible());
  EXPECT_FALSE(t.ui.busy);
}

TEST_F(SendRunTest, ARequestWithoutRowsShowsTheProcessingError) {
  SendRunResult result = Run(Request({}, false));
  EXPECT_EQ(t.ui.MessageTexts(),
            (std::vector<std::string>{"Error while processing. Plese check details and try!!!"}));
  EXPECT_EQ(result.outcome, SendOutcome::kUnfinished);
  EXPECT_FALSE(t.ui.busy);
}

// Every host's runs take their names through the context's claim: 11:05:23
// and 11:52:03 of one day spell the same name, and the second run waits
// for a second whose name is new.
TEST_F(SendRunTest, RunsTakeNamesNoEarlierRunUsedThroughTheContextsClaim) {
  FillRows(1, 3);
  int pauses = 0;
  RunNameClaim names(t.clock, t.backend, [&] {
    ++pauses;
    t.clock.SetTime(11, 52, 4);
  });
  t.context.run_names = &names;
  t.clock.SetTime(11, 5, 23);
  const SendRunResult first = RunSimple(1, 3);
  t.clock.SetTime(11, 52, 3);
  const SendRunResult second = RunSimple(1, 3);
  EXPECT_EQ(first.run_file_name, RunFileName("u", LocalDateTime{2026, 3, 5, 11, 5, 23}));
  EXPECT_EQ(RunFileName("u", LocalDateTime{2026, 3, 5, 11, 52, 3}), first.run_file_name);
  EXPECT_EQ(second.run_file_name, RunFileName("u", LocalDateTime{2026, 3, 5, 11, 52, 4}));
  EXPECT_EQ(pauses, 1);
  t.context.run_names = nullptr;
}

}  // namespace
}  // namespace pelorin
