// A large send through `pelorin send`: ten packets of Unicode messages with
// empty rows among them, checked record for record against the sheet, and
// the run's behaviour when the service times out or goes away mid-way.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "provider_process.h"
#include "tests/integration/cli/cli_runner.h"

namespace pelorin::testing {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;

constexpr int kRows = 10000;  // rows 1..10000, no header
constexpr const char* kTemplate = "नमस्ते |B| 🎉, आपका ऑर्डर |C| तैयार है";

bool IsEmptyRow(int row) { return row % 997 == 0; }
std::string Mobile(int row) { return "91" + std::to_string(9000000000LL + row); }
std::string Name(int row) { return "ग्राहक " + std::to_string(row) + " 😀"; }
std::string Order(int row) { return "\"Q" + std::to_string(row) + "\""; }

std::string Merged(int row) {
  return "नमस्ते " + Name(row) + " 🎉, आपका ऑर्डर " + Order(row) + " तैयार है";
}

class CliBulkSendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(cli_.Run({"host", provider_.host_port()}).status, 0);
    ASSERT_EQ(cli_.Run({"login", "--id", "carol", "--password-stdin"}, "pw\n").status, 0);
    csv_ = cli_.dir() + "/bulk.csv";
    std::ofstream out(csv_, std::ios::binary);
    for (int row = 1; row <= kRows; ++row) {
      if (IsEmptyRow(row)) {
        out << ",,\n";
      } else {
        // The order text holds quotes, written doubled inside a quoted field.
        out << Mobile(row) << ',' << Name(row) << ",\"\"\"Q" << row << "\"\"\"\n";
      }
    }
  }

  CliResult SendAll() {
    return cli_.Run({"send", csv_, "--rows", "1-" + std::to_string(kRows), "--message", kTemplate,
                     "--sender", "CAROL"});
  }

  ProviderProcess provider_{{{"carol", "pw", 100000, "50", "CAROL", "list", false}}};
  CliRunner cli_;
  std::string csv_;
};

TEST_F(CliBulkSendTest, TenPacketsArriveRecordForRecord) {
  CliResult result = SendAll();
  ASSERT_EQ(result.status, 0) << result.err;

  // The range ends on a packet boundary, so an empty END packet closes the
  // run and its report counts the empty rows.
  std::string expected = "Process started... (Range from 1 to 10000)\n";
  for (int done = 1000; done <= kRows; done += 1000) {
    expected += "Processed " + std::to_string(done) + " record(s) out of selected 10000\n";
  }
  expected += "and \n10 empty spaced record(s) ignored \nProcess Completed..!!\n";
  EXPECT_EQ(result.out, expected);

  json runs = json::parse(provider_.RunsJson("carol"));
  ASSERT_EQ(runs.size(), 1u);
  const json& run = runs[0];
  EXPECT_EQ(run["sid"], "CAROL");
  EXPECT_TRUE(run["closed"].get<bool>());
  EXPECT_EQ(run["packets"], 11);
  const json& records = run["records"];
  ASSERT_EQ(records.size(), static_cast<size_t>(kRows - 10));
  size_t next = 0;
  for (int row = 1; row <= kRows; ++row) {
    if (IsEmptyRow(row)) continue;
    ASSERT_EQ(records[next]["mobile"], Mobile(row)) << "row " << row;
    ASSERT_EQ(records[next]["message"], Merged(row)) << "row " << row;
    ++next;
  }
}

TEST_F(CliBulkSendTest, ATimeOutOnTheThirdPacketStopsTheRunAndKeepsWhatWasShown) {
  provider_.SetFault("page=Compose&kind=timeout&skip=2&count=1");
  CliResult result = SendAll();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "Process started... (Range from 1 to 10000)\n"
            "Processed 1000 record(s) out of selected 10000\n"
            "Processed 2000 record(s) out of selected 10000\n"
            "-1!!!\n");
  json run = json::parse(provider_.RunsJson("carol")).at(0);
  EXPECT_EQ(run["records"].size(), 1998u);  // rows 997 and 1994 are empty
  EXPECT_FALSE(run["closed"].get<bool>());
}

TEST_F(CliBulkSendTest, AServiceThatGoesAwayIsReportedAfterWhatWasSent) {
  provider_.SetFault("page=Compose&kind=drop&skip=1&count=100");
  CliResult result = SendAll();
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.out, HasSubstr("Processed 1000 record(s) out of selected 10000\n"));
  EXPECT_THAT(result.out, ::testing::EndsWith("\n-1!!!\n"));
}

}  // namespace
}  // namespace pelorin::testing
