#include "core/messaging/status_report.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

const std::string kStarted = "Process started... (Range from 1 to 70)\r\n";

struct GrammarCase {
  const char* name;
  const char* response;
  const char* state;
  std::int64_t processed;
  std::int64_t empty_rows;
  const char* added;  // what the report adds after the start line
  bool ends_run;
};

class PacketResultGrammar : public ::testing::TestWithParam<GrammarCase> {};

TEST_P(PacketResultGrammar, AddsItsTextAfterTheStartLine) {
  const GrammarCase& c = GetParam();
  std::string status = kStarted;
  bool ends = AppendPacketResult(status, {c.response, c.processed, 70, c.empty_rows, c.state});
  EXPECT_EQ(status, kStarted + c.added);
  EXPECT_EQ(ends, c.ends_run);
}

INSTANTIATE_TEST_SUITE_P(
    Responses, PacketResultGrammar,
    ::testing::Values(
        GrammarCase{"StartPacket", "Error : 0 - SUCCESS.", "START", 50, 3,
                    "Processed 50 record(s) out of selected 70\r\n", false},
        GrammarCase{"ProcessedNeverAboveTotal", "Error : 0 - SUCCESS.", "START", 100, 0,
                    "Processed 70 record(s) out of selected 70\r\n", false},
        GrammarCase{"AllWithoutEmptyRows", "Error : 0 - SUCCESS.", "ALL", 70, 0,
                    "Processed 70 record(s) out of selected 70\r\nProcess Completed..!!\r\n", true},
        GrammarCase{"EndWithEmptyRows", "Error : 0 - SUCCESS.", "END", 70, 2,
                    "Processed 70 record(s) out of selected 70 and \r\n2 empty spaced record(s) "
                    "ignored \r\nProcess Completed..!!\r\n",
                    true},
        GrammarCase{"TimedOut", "Error : -1 - Operation Timed Out.", "ALL", 70, 0,
                    "Operation Timed Out. Please try again!!!", true},
        GrammarCase{"OutOfRange", "Out_Of_Range", "START", 20, 0,
                    "Unable to process your request. !!!\r\nEnd Range is out of scope from Excel "
                    "sheet.\r\nPlease try again with correct End Range!!!",
                    true},
        GrammarCase{"RunsOwnFailure", "-1", "ALL", 70, 0, "-1!!!\r\n", true},
        GrammarCase{"TransportFailure", "ERROR", "ALL", 70, 0, "ERROR!!!\r\n", true},
        GrammarCase{"ServiceReply", "Error : 2 - Insufficient credit.", "START", 20, 0,
                    "Error : 2 - Insufficient credit.!!!\r\n", true},
        GrammarCase{"SuccessComparedExactly", "error : 0 - SUCCESS.", "ALL", 70, 0,
                    "error : 0 - SUCCESS.!!!\r\n", true},
        GrammarCase{"SuccessWithTrailingSpace", "Error : 0 - SUCCESS. ", "ALL", 70, 0,
                    "Error : 0 - SUCCESS. !!!\r\n", true},
        GrammarCase{"EmptyResponse", "", "ALL", 70, 0,
                    "Unable to process your request. Please try again!!!", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FailureReport, AppendsAfterEarlierProgressInsteadOfWiping) {
  std::string status =
      "Process started... (Range from 1 to 2500)\r\n"
      "Processed 1000 record(s) out of selected 2500\r\n";
  const std::string shown = status;
  AppendPacketResult(status, {"-1", 2000, 2500, 0, "START"});
  EXPECT_EQ(status, shown + "-1!!!\r\n");
}

TEST(FailureReport, StartsOnItsOwnLineAfterATextWithoutLineBreak) {
  std::string status = kStarted + "Operation Timed Out. Please try again!!!";
  AppendPacketResult(status, {"-1", 70, 70, 0, "ALL"});
  EXPECT_EQ(status, kStarted + "Operation Timed Out. Please try again!!!\r\n-1!!!\r\n");
}

TEST(ClosingResult, AcceptedClosingPacketCompletesTheRun) {
  std::string status = "Processed 2000 record(s) out of selected 2000\r\n";
  EXPECT_TRUE(AppendClosingResult(status, {"Error : 0 - SUCCESS.", 2000, 2000, 3, "END"}));
  EXPECT_EQ(status,
            "Processed 2000 record(s) out of selected 2000\r\nand \r\n3 empty spaced record(s) "
            "ignored \r\nProcess Completed..!!\r\n");
}

TEST(ClosingResult, WithoutEmptyRowsOnlyTheCompletionLine) {
  std::string status;
  EXPECT_TRUE(AppendClosingResult(status, {"Error : 0 - SUCCESS.", 2000, 2000, 0, "END"}));
  EXPECT_EQ(status, "Process Completed..!!\r\n");
}

TEST(ClosingResult, FailedClosingPacketAsksToTryAgain) {
  std::string status = "Processed 2000 record(s) out of selected 2000\r\n";
  EXPECT_TRUE(AppendClosingResult(status, {"-1", 2000, 2000, 3, "END"}));
  EXPECT_EQ(status,
            "Processed 2000 record(s) out of selected 2000\r\nUnable to process your request. "
            "Please try again!!!");
}

TEST(ClosingResult, StartStateDoesNotEndTheRun) {
  std::string status;
  EXPECT_FALSE(AppendClosingResult(status, {"Error : 0 - SUCCESS.", 10, 10, 4, "START"}));
  EXPECT_EQ(status, "");
}

}  // namespace
}  // namespace pelorin
