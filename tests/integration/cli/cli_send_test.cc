// `pelorin send`, `preview` and `senders` end to end: workbooks on disk, the
// dialog filled from the flags, and what pelorin-provider received.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "provider_process.h"
#include "tests/integration/cli/cli_runner.h"

namespace pelorin::testing {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;

constexpr const char* kTemplate = "Dear |B|, order |C| is ready.";

void WaitForTheNextSecond() {
  const std::time_t start = std::time(nullptr);
  while (std::time(nullptr) == start) usleep(10000);
}

class CliSendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(cli_.Run({"host", provider_.host_port()}).status, 0);
    ASSERT_EQ(cli_.Run({"login", "--id", "bob", "--password-stdin"}, "pw\n").status, 0);
  }

  // A CSV of `rows` contacts under a header row; every `gap`-th row empty.
  std::string WriteContacts(int rows, int gap = 0) {
    const std::string path = cli_.dir() + "/contacts-" + std::to_string(rows) + ".csv";
    std::ofstream out(path, std::ios::binary);
    out << "\xEF\xBB\xBFMobile,Name,Order\r\n";
    for (int i = 1; i <= rows; ++i) {
      if (gap > 0 && i % gap == 0) {
        out << ",,\r\n";
      } else {
        out << "9198" << 10000000 + i << ",\"Name, " << i << "\",O" << i << "\r\n";
      }
    }
    return path;
  }

  json Runs() { return json::parse(provider_.RunsJson("bob")); }

  CliResult Send(const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"send"};
    args.insert(args.end(), extra.begin(), extra.end());
    return cli_.Run(args);
  }

  ProviderProcess provider_{{{"bob", "pw", 5000, "50", "BOBSMS,BOBALT", "list", false}}};
  CliRunner cli_;
};

TEST_F(CliSendTest, SendsEveryRowOfASimpleRange) {
  const std::string csv = WriteContacts(5);
  CliResult result = Send({csv, "--rows", "2-6", "--message", kTemplate, "--sender", "BOBALT"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Process started... (Range from 2 to 6)\n"
            "Processed 5 record(s) out of selected 5\n"
            "Process Completed..!!\n");
  json runs = Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0]["sid"], "BOBALT");
  EXPECT_EQ(runs[0]["flash"], "N");
  ASSERT_EQ(runs[0]["records"].size(), 5u);
  EXPECT_EQ(runs[0]["records"][0]["mobile"], "919810000001");
  EXPECT_EQ(runs[0]["records"][0]["message"], "Dear Name, 1, order O1 is ready.");
  EXPECT_EQ(cli_.Run({"credit"}).out, "Available Credits: 4995\n");
}

// The service knows a run by its user and starting second: sends in a row
// must not land in one run.
TEST_F(CliSendTest, SendsInARowAreSeparateRuns) {
  const std::string csv = WriteContacts(2);
  for (int i = 0; i < 3; ++i) {
    CliResult result = Send({csv, "--ranges", "2-2,3-3", "--message", kTemplate});
    ASSERT_EQ(result.status, 0) << "send " << i << ": " << result.out << result.err;
  }
  json runs = Runs();
  ASSERT_EQ(runs.size(), 3u);
  for (const json& run : runs) EXPECT_EQ(run["records"].size(), 2u);
}

TEST_F(CliSendTest, SplitsLargeRangesIntoPacketsAndClosesTheRun) {
  const std::string csv = WriteContacts(1200, 100);  // 12 empty rows
  ASSERT_EQ(cli_.Run({"packet-size", "500"}).status, 0);
  CliResult result = Send({csv, "--ranges", "2-1001,1002-1201", "--message", kTemplate});
  ASSERT_EQ(result.status, 0) << result.err << result.out;
  json runs = Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0]["records"].size(), 1188u);
  EXPECT_TRUE(runs[0]["closed"].get<bool>());
  EXPECT_THAT(result.out, HasSubstr("empty spaced record(s) ignored"));
  EXPECT_THAT(result.out, HasSubstr("Process Completed..!!"));
}

TEST_F(CliSendTest, FlashAndScheduleReachTheService) {
  const std::string csv = WriteContacts(3);
  // The dialog offers this year and the next three, and (for an account
  // outside the DND filter) every hour.
  const std::time_t now = std::time(nullptr);
  const std::string next_year = std::to_string(std::localtime(&now)->tm_year + 1900 + 1);
  CliResult result = Send({csv, "--rows", "2-4", "--message", kTemplate, "--flash", "--later",
                           next_year + "-03-07 22:05"});
  ASSERT_EQ(result.status, 0) << result.err;
  json run = Runs().at(0);
  EXPECT_EQ(run["flash"], "Y");
  // The end time is whatever the hidden end-time lists hold.
  EXPECT_THAT(run["schedule"].get<std::string>(),
              ::testing::StartsWith(next_year + "-March-07|22|05|"));
}

TEST_F(CliSendTest, BadInputIsAUsageErrorAndSendsNothing) {
  const std::string csv = WriteContacts(3);
  const std::string broken = cli_.dir() + "/broken.csv";
  std::ofstream(broken) << "919800000001,\"unterminated\n";
  const std::string not_a_workbook = cli_.dir() + "/notes.xlsx";
  std::ofstream(not_a_workbook) << "just text";
  struct Case {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{csv, "--message", kTemplate}, "--rows"},
      {{csv, "--rows", "2-3", "--ranges", "2-3", "--message", kTemplate}, "--rows"},
      {{csv, "--rows", "2-x", "--message", kTemplate}, "--rows"},
      {{csv, "--ranges", "2-3;5", "--message", kTemplate}, "--ranges"},
      {{csv, "--rows", "2-3"}, "--message"},
      {{csv, "--rows", "2-3", "--message", kTemplate, "--mobile-column", "12"}, "--mobile-column"},
      {{csv, "--rows", "2-3", "--message", kTemplate, "--later", "tomorrow"}, "--later"},
      {{csv, "--rows", "2-3", "--message", kTemplate, "--sender", "NOSUCH"}, "--sender"},
      {{csv, "--rows", "2-3", "--message", kTemplate, "--sheet", "Other"}, "Other"},
      {{cli_.dir() + "/missing.csv", "--rows", "2-3", "--message", kTemplate}, "missing.csv"},
      {{broken, "--rows", "1-1", "--message", kTemplate}, "line 1"},
      {{not_a_workbook, "--rows", "1-1", "--message", kTemplate}, "notes.xlsx"},
  };
  for (const Case& c : cases) {
    CliResult result = Send(c.args);
    EXPECT_EQ(result.status, 2) << c.says << ": " << result.err;
    EXPECT_THAT(result.err, HasSubstr(c.says));
  }
  EXPECT_TRUE(Runs().empty());
}

TEST_F(CliSendTest, RefusalsOfTheDialogAndTheServiceExitWithOne) {
  const std::string csv = WriteContacts(3);
  // The dialog's own checks: an empty template, an end before the start.
  CliResult empty = Send({csv, "--rows", "2-4", "--message", ""});
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.err, "Message should not be empty!!!\n");
  CliResult backwards = Send({csv, "--rows", "4-2", "--message", kTemplate});
  EXPECT_EQ(backwards.status, 1);
  EXPECT_FALSE(backwards.err.empty());

  provider_.SetFault("page=Compose&kind=reply&body=Error+%3A+5+-+Account+suspended.");
  CliResult refused = Send({csv, "--rows", "2-4", "--message", kTemplate});
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.out, HasSubstr("Error : 5 - Account suspended.!!!"));
  EXPECT_THAT(refused.out, HasSubstr("Process started..."));  // the record is kept
  provider_.ClearFaults();

  ASSERT_EQ(cli_.Run({"logout"}).status, 0);
  CliResult logged_out = Send({csv, "--rows", "2-4", "--message", kTemplate});
  EXPECT_EQ(logged_out.status, 1);
  EXPECT_THAT(logged_out.err, HasSubstr("pelorin login"));
}

TEST_F(CliSendTest, NoCreditLeftStopsTheSendBeforeTheDialog) {
  provider_.RunCommand(
      {"account", "set", "--db", provider_.db_path(), "--id", "bob", "--credits", "0"});
  CliResult result = Send({WriteContacts(2), "--rows", "2-3", "--message", kTemplate});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("Insufficient Credits"));
  EXPECT_TRUE(Runs().empty());
}

TEST_F(CliSendTest, PreviewPrintsTheMergedMessagesInEachFormat) {
  const std::string csv = WriteContacts(3);
  CliResult tsv =
      cli_.Run({"preview", csv, "--rows", "2-4", "--message", kTemplate, "--format", "tsv"});
  ASSERT_EQ(tsv.status, 0) << tsv.err;
  EXPECT_THAT(tsv.out, HasSubstr("Mobile\tMessage\tEncoding\tLength\tSegments\n"));
  EXPECT_THAT(tsv.out,
              HasSubstr("919810000002\tDear Name, 2, order O2 is ready.\tGSM 7-bit\t32\t1\n"));
  CliResult as_json =
      cli_.Run({"preview", csv, "--rows", "2-4", "--message", kTemplate, "--format", "json"});
  ASSERT_EQ(as_json.status, 0) << as_json.err;
  json rows = json::parse(as_json.out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2]["Mobile"], "919810000003");
  EXPECT_EQ(rows[2]["Encoding"], "GSM 7-bit");
  EXPECT_EQ(rows[2]["Segments"], "1");
  EXPECT_TRUE(Runs().empty());  // a preview sends nothing
}

TEST_F(CliSendTest, SendersShowsWhatTheServiceOffers) {
  CliResult result = cli_.Run({"senders"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "DND filter: INACTIVE\nBOBSMS\nBOBALT\n");
}

TEST_F(CliSendTest, BundledWorkbookSendsNumbersAsTheirDigits) {
  CliResult result = Send({PELORIN_EXAMPLES_DIR "/contacts.xlsx", "--rows", "2-37", "--message",
                           "Dear |B|, your order |C| is ready for pickup in |D|."});
  ASSERT_EQ(result.status, 0) << result.err;
  json run = Runs().at(0);
  ASSERT_EQ(run["records"].size(), 36u);
  EXPECT_EQ(run["records"][0]["mobile"], "919876543210");
  EXPECT_EQ(run["records"][0]["message"],
            "Dear Aarav Shah, your order ORD-20261200 is ready for pickup in Pune.");
}

// LibreOffice writes the same contacts as .ods, .xlsx and .xls; all send alike.
TEST_F(CliSendTest, WorkbooksSavedByLibreOfficeSendTheSameMessages) {
  if (!std::filesystem::exists("/usr/bin/soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  const std::string csv = WriteContacts(4);
  const std::string profile = "-env:UserInstallation=file://" + cli_.dir() + "/lo-profile";
  for (const char* format : {"ods", "xlsx", "xls"}) {
    const std::string command = "cd " + cli_.dir() + " && timeout 120 /usr/bin/soffice " + profile +
                                " --headless --convert-to " + format + " --outdir " + cli_.dir() +
                                "/" + format + " " + csv + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  for (const char* format : {"ods", "xlsx", "xls"}) {
    // A run is named by its user and the second it started in: two sends
    // in one second would be one run to the service.
    WaitForTheNextSecond();
    const std::string book = cli_.dir() + "/" + format + "/contacts-4." + format;
    CliResult result = Send({book, "--rows", "2-5", "--message", kTemplate});
    ASSERT_EQ(result.status, 0) << format << ": " << result.err << result.out;
  }
  json runs = Runs();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0]["records"], runs[1]["records"]);
  EXPECT_EQ(runs[0]["records"], runs[2]["records"]);
  EXPECT_EQ(runs[0]["records"][3]["mobile"], "919810000004");
  EXPECT_EQ(runs[0]["records"][3]["message"], "Dear Name, 4, order O4 is ready.");
}

}  // namespace
}  // namespace pelorin::testing
