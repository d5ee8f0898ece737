// Runs that fail half-way, against pelorin-provider with faults: the
// journal, `history`, and `send --resume` leave the service holding every
// record exactly once, never twice.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <thread>

#include "provider_process.h"
#include "tests/integration/cli/cli_runner.h"

namespace pelorin::testing {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;

constexpr int kRows = 5000;  // ten packets of 500
constexpr const char* kRefusal = "Error+%3A+2+-+Insufficient+Credits.";

std::string Mobile(int row) { return "91" + std::to_string(9000000000LL + row); }

class CliResumeTest : public ::testing::Test {
 protected:
  void SetUp() override { LogIn(cli_, "carol"); }

  void LogIn(CliRunner& cli, const std::string& user) {
    provider_.AddAccount({user, "pw", 100000, "50", "CAROL", "list", false});
    ASSERT_EQ(cli.Run({"host", provider_.host_port()}).status, 0);
    ASSERT_EQ(cli.Run({"login", "--id", user, "--password-stdin"}, "pw\n").status, 0);
    ASSERT_EQ(cli.Run({"packet-size", "500"}).status, 0);
    WriteSheet(cli, "");
  }

  // Rows 1..5000: a mobile number and a name; `changed_name` replaces the
  // name of row 123.
  void WriteSheet(const CliRunner& cli, const std::string& changed_name) {
    std::ofstream out(cli.dir() + "/list.csv", std::ios::binary);
    for (int row = 1; row <= kRows; ++row) {
      out << Mobile(row) << ",name" << (row == 123 && !changed_name.empty() ? changed_name
                                                                            : std::to_string(row))
          << '\n';
    }
  }

  CliResult Send(const CliRunner& cli) const {
    return cli.Run({"send", cli.dir() + "/list.csv", "--rows", "1-" + std::to_string(kRows),
                    "--message", "Hi |B|", "--sender", "CAROL"});
  }

  // The records the service holds for `user`, by mobile number: how many
  // times each arrived. Fails the test unless they are all in one closed run.
  std::map<std::string, int> Held(const std::string& user) {
    json runs = json::parse(provider_.RunsJson(user));
    std::map<std::string, int> held;
    EXPECT_EQ(runs.size(), 1u) << runs.dump();
    if (runs.empty()) return held;
    EXPECT_TRUE(runs[0]["closed"].get<bool>()) << runs[0]["states"].dump();
    for (const json& record : runs[0]["records"]) ++held[record["mobile"].get<std::string>()];
    return held;
  }

  void ExpectEveryRecordOnce(const std::string& user) {
    std::map<std::string, int> held = Held(user);
    EXPECT_EQ(held.size(), static_cast<size_t>(kRows));
    int twice = 0;
    for (int row = 1; row <= kRows; ++row) {
      auto it = held.find(Mobile(row));
      if (it == held.end()) {
        ADD_FAILURE() << "row " << row << " never arrived";
        return;
      }
      twice += it->second > 1;
    }
    EXPECT_EQ(twice, 0) << "records the service holds more than once";
  }

  ProviderProcess provider_;
  CliRunner cli_;
};

TEST_F(CliResumeTest, ARefusedPacketIsResumedAndEveryRecordArrivesOnce) {
  provider_.SetFault(std::string("page=Compose&kind=reply&skip=4&count=1&body=") + kRefusal);
  CliResult sent = Send(cli_);
  EXPECT_EQ(sent.status, 1);
  EXPECT_THAT(sent.out, HasSubstr("Processed 2000 record(s) out of selected 5000\n-1!!!\n"));
  EXPECT_THAT(sent.err, HasSubstr("send --resume"));

  CliResult history = cli_.Run({"history"});
  ASSERT_EQ(history.status, 0) << history.err;
  std::smatch match;
  ASSERT_TRUE(std::regex_search(history.out, match, std::regex("\n(carol_[0-9]+)\t")))
      << history.out;
  const std::string run = match[1];
  EXPECT_THAT(history.out, HasSubstr("\t5000\t4/10\tfailed\n"));
  CliResult packets = cli_.Run({"history", run});
  EXPECT_THAT(packets.out, HasSubstr("2001-2500\tSTART\t500\trefused Error : 2 - Insufficient"));

  CliResult resumed = cli_.Run({"send", "--resume"});
  EXPECT_EQ(resumed.status, 0) << resumed.err;
  EXPECT_THAT(resumed.out, HasSubstr("packet 5 (rows 2001-2500) START: accepted"));
  EXPECT_THAT(resumed.out, HasSubstr("packet 10 (rows 4501-5000) END: accepted"));
  ExpectEveryRecordOnce("carol");
  EXPECT_THAT(cli_.Run({"history"}).out, HasSubstr("\t5000\t10/10\tcompleted\n"));
  // Nothing is left to send.
  CliResult again = cli_.Run({"send", "--resume", run});
  EXPECT_EQ(again.status, 0) << again.err;
  ExpectEveryRecordOnce("carol");
}

TEST_F(CliResumeTest, AStoredPacketWithoutAReplyStopsTheResumeUntilTheUserSays) {
  provider_.SetFault("page=Compose&kind=stored-drop&skip=4&count=1");
  EXPECT_EQ(Send(cli_).status, 1);
  CliResult stopped = cli_.Run({"send", "--resume"});
  EXPECT_EQ(stopped.status, 1);
  EXPECT_THAT(stopped.err, HasSubstr("packet 5 (rows 2001-2500)"));
  EXPECT_THAT(stopped.err, HasSubstr("--skip-unknown"));
  EXPECT_THAT(cli_.Run({"history"}).out, HasSubstr("\t4/10\tunknown\n"));

  CliResult resumed = cli_.Run({"send", "--resume", "--skip-unknown"});
  EXPECT_EQ(resumed.status, 0) << resumed.err;
  ExpectEveryRecordOnce("carol");
}

TEST_F(CliResumeTest, AChangedSheetIsRefusedAndNothingIsSent) {
  provider_.SetFault(std::string("page=Compose&kind=reply&skip=1&count=1&body=") + kRefusal);
  EXPECT_EQ(Send(cli_).status, 1);
  WriteSheet(cli_, "someone else");  // row 123: in packet 1, which was accepted
  const std::string before = provider_.RunsJson("carol");
  CliResult refused = cli_.Run({"send", "--resume"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.err, HasSubstr("packet 1 (rows 1-500)"));
  EXPECT_THAT(refused.err, HasSubstr("the sheet has changed"));
  EXPECT_EQ(provider_.RunsJson("carol"), before);
}

TEST_F(CliResumeTest, ResumeFlagsAreCheckedBeforeAnythingIsRead) {
  const std::vector<std::vector<std::string>> usage_errors = {
      {"send", "--resume", "--resend-unknown", "--skip-unknown"},
      {"send", "--resume", "--message", "x"},
      {"send", cli_.dir() + "/list.csv", "--rows", "1-5", "--message", "x", "--skip-unknown"},
      {"send"},
  };
  for (const auto& args : usage_errors) {
    EXPECT_EQ(cli_.Run(args).status, 2) << args.back();
  }
  EXPECT_EQ(cli_.Run({"send", "--resume", "nosuchrun"}).status, 1);
  EXPECT_EQ(cli_.Run({"history", "nosuchrun"}).status, 1);
}

// Kills `pelorin send` at many points of its run, resumes, and checks that
// the service ends with every record exactly once. Where the journal says a
// packet went out without a reply, the service is asked whether it holds it,
// as a user would check with the provider.
TEST_F(CliResumeTest, KilledAtAnyPointAndResumedEveryRecordArrivesOnce) {
  provider_.SetFault("page=Compose&kind=delay&ms=30");
  int user_number = 0;
  for (int kill_ms : {150, 300, 400, 500, 600, 700, 850, 1000}) {
    const std::string user = "kill" + std::to_string(++user_number);
    CliRunner cli;
    LogIn(cli, user);
    CliResult killed = cli.RunKilledAfter(
        {"send", cli.dir() + "/list.csv", "--rows", "1-" + std::to_string(kRows), "--message",
         "Hi |B|", "--sender", "CAROL"},
        std::chrono::milliseconds(kill_ms));
    SCOPED_TRACE("killed after " + std::to_string(kill_ms) + " ms, status " +
                 std::to_string(killed.status));
    // A request the service was still answering when the client died is
    // stored by now.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    CliResult resumed = cli.Run({"send", "--resume"});
    if (resumed.status == 1 && resumed.err.find("went out and no reply came") != std::string::npos) {
      json runs = json::parse(provider_.RunsJson(user));
      bool held = false;
      std::smatch rows;
      if (resumed.err.find("the closing packet") != std::string::npos) {
        // The closing packet holds no rows: the service holds it when it
        // closed the run.
        for (const json& run : runs) held |= run["closed"].get<bool>();
      } else {
        ASSERT_TRUE(std::regex_search(resumed.err, rows, std::regex("rows ([0-9]+)-")))
            << resumed.err;
        for (const json& run : runs) {
          for (const json& record : run["records"])
            held |= record["mobile"] == Mobile(std::stoi(rows[1]));
        }
      }
      resumed = cli.Run({"send", "--resume", held ? "--skip-unknown" : "--resend-unknown"});
    }
    if (resumed.err.find("no unfinished run") != std::string::npos) {
      // Killed before the journal began (nothing went out), or after the end.
      if (json::parse(provider_.RunsJson(user)).empty()) resumed = Send(cli);
      else resumed.status = 0;
    }
    EXPECT_EQ(resumed.status, 0) << resumed.out << resumed.err;
    ExpectEveryRecordOnce(user);
  }
}

}  // namespace
}  // namespace pelorin::testing
