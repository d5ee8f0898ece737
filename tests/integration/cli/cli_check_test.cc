// `pelorin check`, `region`, `send --exclude` and `send --check` end to end,
// with libphonenumber reading the numbers and pelorin-provider standing in
// for the service.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "provider_process.h"
#include "tests/integration/cli/cli_runner.h"

namespace pelorin::testing {
namespace {

using nlohmann::json;
using ::testing::EndsWith;
using ::testing::HasSubstr;

class CliCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(cli_.Run({"host", provider_.host_port()}).status, 0);
    ASSERT_EQ(cli_.Run({"region", "IN"}).status, 0);
  }
  void LogIn() {
    ASSERT_EQ(cli_.Run({"login", "--id", "bob", "--password-stdin"}, "pw\n").status, 0);
  }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = cli_.dir() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  // Rows 2..10 under a header: every kind of row the check tells apart.
  std::string Contacts() {
    return Write("contacts.csv",
                 "Mobile,Name\n"
                 "+91 98765 43210,Asha\n"  // 2: duplicate of 5 and 9
                 "12345,Bo\n"               // 3: invalid
                 ",Cy\n"                    // 4: empty
                 "919876543210,Di\n"        // 5
                 "022 2345 6789,Ed\n"       // 6: a landline
                 "98765 43211,Fa\n"         // 7: on the list
                 "9876543212,Gu\n"          // 8
                 "09876543210,Hu\n"         // 9
                 "   ,Io\n");               // 10: only spaces, empty to a send
  }

  ProviderProcess provider_{{{"bob", "pw", 5000, "50", "BOBSMS", "list", false}}};
  CliRunner cli_;
};

TEST_F(CliCheckTest, CheckReportsEveryProblemRowOnce) {
  const std::string list = Write("exclude.txt", "+919876543211\n");
  CliResult result = cli_.Run({"check", Contacts(), "--rows", "2-10", "--message", "Hi |B|",
                               "--exclude", list, "--format", "json"});
  EXPECT_EQ(result.status, 1) << result.err;  // invalid numbers would fail
  const json report = json::parse(result.out);
  EXPECT_EQ(report["region"], "IN");
  EXPECT_EQ(report["rows"], 9);
  EXPECT_EQ(report["messages"], 6);
  EXPECT_EQ(report["segments"], 6);
  EXPECT_EQ(report["credits_available"], nullptr);  // nobody is logged in

  std::multiset<int> reported;
  for (const json& row : report["invalid"]) reported.insert(row["row"].get<int>());
  for (const json& row : report["excluded"]) reported.insert(row["row"].get<int>());
  for (const json& duplicate : report["duplicates"]) {
    EXPECT_EQ(duplicate["number"], "+919876543210");
    for (const json& row : duplicate["rows"]) reported.insert(row.get<int>());
  }
  for (const json& run : report["empty_rows"]) {
    for (int row = run["first"]; row <= run["last"].get<int>(); ++row) reported.insert(row);
  }
  EXPECT_EQ(reported, (std::multiset<int>{2, 3, 4, 5, 6, 7, 9, 10}));
  EXPECT_EQ(report["invalid"][1]["problem"], "not a mobile number");

  CliResult text = cli_.Run({"check", Contacts(), "--rows", "2-10", "--message", "Hi |B|"});
  EXPECT_THAT(text.out, HasSubstr("rows 2, 5, 9: duplicate: +919876543210\n"));
  EXPECT_THAT(text.out, HasSubstr("row 3: invalid: \"12345\""));
}

TEST_F(CliCheckTest, CheckPassesWhenNothingWouldFailAndShowsTheCredit) {
  LogIn();
  CliResult result = cli_.Run({"check", Contacts(), "--rows", "7-8", "--message", "Hi |B|"});
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_THAT(result.out, HasSubstr("Credits: needs 2 credits, 5,000 available\n"));
}

TEST_F(CliCheckTest, SendCheckWithTooLittleCreditSendsNothing) {
  LogIn();
  provider_.RunCommand(
      {"account", "set", "--db", provider_.db_path(), "--id", "bob", "--credits", "1"});
  const std::vector<std::string> send = {"send",     Contacts(), "--rows", "7-8",
                                         "--message", "Hi |B|",  "--check"};
  CliResult refused = cli_.Run(send);
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.out, HasSubstr("needs 2 credits, 1 available"));
  EXPECT_THAT(refused.err, HasSubstr("nothing was sent"));
  EXPECT_TRUE(json::parse(provider_.RunsJson("bob")).empty());

  std::vector<std::string> forced = send;
  forced.push_back("--force");
  CliResult sent = cli_.Run(forced);  // the service itself refuses it now
  EXPECT_THAT(sent.out, HasSubstr("Insufficient Credits"));
}

TEST_F(CliCheckTest, SendCheckRefusesAnInvalidNumberUnlessForced) {
  LogIn();
  const std::vector<std::string> send = {"send",     Contacts(), "--rows", "3-3",
                                         "--message", "Hi |B|",  "--check"};
  CliResult refused = cli_.Run(send);
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.out, HasSubstr("row 3: invalid: \"12345\""));
  EXPECT_TRUE(json::parse(provider_.RunsJson("bob")).empty());

  std::vector<std::string> forced = send;
  forced.push_back("--force");
  CliResult sent = cli_.Run(forced);
  EXPECT_EQ(sent.status, 0) << sent.err;
  EXPECT_THAT(sent.err, HasSubstr("row 3: invalid"));  // the report still shown
  EXPECT_EQ(json::parse(provider_.RunsJson("bob")).size(), 1u);
}

TEST_F(CliCheckTest, SendExcludeSkipsListedRowsAndSaysHowMany) {
  LogIn();
  const std::string list = Write("exclude.csv", "Mobile\n+91 98765 43210\n9876543212\n");
  CliResult result = cli_.Run({"send", Contacts(), "--rows", "2-9", "--message", "Hi |B|",
                               "--exclude", list});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.out, EndsWith("Process Completed..!!\n"
                                   "4 record(s) skipped for the exclusion list\n"));
  const json runs = json::parse(provider_.RunsJson("bob"));
  ASSERT_EQ(runs.size(), 1u);
  std::vector<std::string> mobiles;
  for (const json& record : runs[0]["records"]) mobiles.push_back(record["mobile"]);
  EXPECT_EQ(mobiles, (std::vector<std::string>{"12345", "022 2345 6789", "98765 43211"}));
}

TEST_F(CliCheckTest, RegionIsStoredAndRefusesUnknownCodes) {
  EXPECT_EQ(cli_.Run({"region"}).out, "IN\n");
  EXPECT_EQ(cli_.Run({"region", "gb"}).status, 0);
  EXPECT_EQ(cli_.Run({"region"}).out, "GB\n");
  CliResult unknown = cli_.Run({"region", "XX"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(cli_.Run({"region"}).out, "GB\n");
  // Read in the UK, the Indian ten-digit number is no mobile number.
  CliResult check = cli_.Run({"check", Contacts(), "--rows", "8-8", "--message", "Hi"});
  EXPECT_EQ(check.status, 1);
  EXPECT_THAT(check.out, HasSubstr("Region: GB\n"));
}

}  // namespace
}  // namespace pelorin::testing
