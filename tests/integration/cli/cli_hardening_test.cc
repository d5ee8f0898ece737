// `pelorin send` against mistakes and mishaps: requests refused before the
// first packet, sends by one user at once, an interrupted run, and the
// service's words on a terminal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "hosts/cli/visible_controls.h"
#include "provider_process.h"
#include "tests/integration/cli/cli_runner.h"

namespace pelorin::testing {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kTemplate = "Dear |B|, order |C| is ready.";

class CliHardeningTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(cli_.Run({"host", provider_.host_port()}).status, 0);
    ASSERT_EQ(cli_.Run({"login", "--id", "bob", "--password-stdin"}, "pw\n").status, 0);
  }

  // Mobile, name, order under a header row; `rows` contacts.
  std::string WriteCsv(const std::string& name, int rows, const std::string& extra = "") {
    const std::string path = cli_.dir() + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out << "Mobile,Name,Order\n";
    for (int i = 1; i <= rows; ++i) out << "9198" << 10000000 + i << ",N" << i << ",O" << i << "\n";
    out << extra;
    return path;
  }

  json Runs() { return json::parse(provider_.RunsJson("bob")); }

  ProviderProcess provider_{{{"bob", "pw", 100000, "50", "BOBSMS", "list", false}}};
  CliRunner cli_;
};

TEST_F(CliHardeningTest, MistakesAreRefusedBeforeAnythingIsSent) {
  const std::string csv = WriteCsv("c.csv", 5);
  const std::string bad_utf8 = WriteCsv("u.csv", 2, "919800000003,N3,O\xC3(3\n");
  const std::string nul = WriteCsv("n.csv", 1, std::string("919800000002,N\0x,O2\n", 20));
  const std::string overlong = WriteCsv("o.csv", 1, "919800000002,N," + std::string(32768, 'x') + "\n");
  const std::string folder = cli_.dir() + "/templates";
  std::filesystem::create_directory(folder);
  struct Case {
    const char* label;
    std::vector<std::string> args;
    const char* says;
  };
  const std::vector<Case> cases = {
      {"invalid UTF-8", {bad_utf8, "--rows", "2-4", "--message", kTemplate},
       "u.csv: sheet \"u\": row 4, column C: the text is not valid UTF-8"},
      {"NUL byte", {nul, "--rows", "2-3", "--message", kTemplate},
       "row 3, column B: the text holds a NUL character"},
      {"overlong cell", {overlong, "--rows", "2-3", "--message", kTemplate},
       "o.csv: sheet \"o\", row 3, column C: the cell holds more than 32,767 characters"},
      {"overlapping ranges", {csv, "--ranges", "2-4,3-6", "--message", kTemplate},
       "--ranges: 2-4 and 3-6 overlap: rows 3-4 would get two messages"},
      {"repeated range", {csv, "--ranges", "5-6,2-3,5-6", "--message", kTemplate},
       "--ranges: 5-6 and 5-6 overlap"},
      {"rows past the data", {csv, "--rows", "20-60", "--message", kTemplate},
       "rows 20-60 reach past the last row holding a value (the sheet uses rows 1-6 and columns A-C)"},
      {"empty mobile column", {csv, "--rows", "2-6", "--mobile-column", "D", "--message", kTemplate},
       "column D holds no mobile number in the rows selected"},
      {"message file is a folder", {csv, "--rows", "2-6", "--message-file", folder},
       "is a folder, not a file"},
      {"later in the past", {csv, "--rows", "2-6", "--message", kTemplate, "--later", "2020-01-06 10:00"},
       "--later: 2020-01-06 10:00 is not in the future"},
      {"later on no day", {csv, "--rows", "2-6", "--message", kTemplate, "--later", "2027-02-30 10:00"},
       "--later: there is no 2027-02-30 10:00"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"send"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    CliResult result = cli_.Run(args);
    EXPECT_EQ(result.status, 2) << c.label << ": " << result.err;
    EXPECT_THAT(result.err, HasSubstr(c.says)) << c.label;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << c.label << ": " << result.err;
  }
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(cli_.Run({"credit"}).out, "Available Credits: 100000\n");
}

TEST_F(CliHardeningTest, ABlankTemplateIsAnEmptyOne) {
  const std::string csv = WriteCsv("c.csv", 3);
  for (const char* blank : {"   ", " \t\n "}) {
    CliResult result = cli_.Run({"send", csv, "--rows", "2-4", "--message", blank});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("Message should not be empty!!!"));
  }
  EXPECT_TRUE(Runs().empty());
}

TEST_F(CliHardeningTest, SendsStartedTogetherByOneUserAreSeparateRuns) {
  const std::string csv = WriteCsv("c.csv", 4);
  std::vector<CliResult> results(3);
  std::vector<std::thread> senders;
  for (CliResult& result : results) {
    senders.emplace_back([&] {
      result = cli_.Run({"send", csv, "--ranges", "2-3,4-5", "--message", kTemplate});
    });
  }
  for (std::thread& sender : senders) sender.join();
  for (const CliResult& result : results) ASSERT_EQ(result.status, 0) << result.err;
  json runs = Runs();
  ASSERT_EQ(runs.size(), 3u);
  std::set<std::string> names;
  for (const json& run : runs) {
    EXPECT_EQ(run["records"].size(), 4u);
    EXPECT_TRUE(run["closed"].get<bool>());
    names.insert(run["filename"].get<std::string>());
  }
  EXPECT_EQ(names.size(), 3u);
}

TEST_F(CliHardeningTest, AnInterruptedRunStopsAfterThePacketInFlight) {
  const std::string csv = WriteCsv("c.csv", 3000);
  ASSERT_EQ(cli_.Run({"packet-size", "500"}).status, 0);
  provider_.SetFault("page=Compose&kind=delay&ms=400");
  for (int number : {SIGINT, SIGTERM}) {
    const std::size_t runs_before = Runs().size();
    CliResult result = cli_.Run({"send", csv, "--rows", "2-3001", "--message", kTemplate}, "",
                                CliSignal{number, std::chrono::milliseconds(1000)});
    EXPECT_EQ(result.status, 128 + number) << result.err;
    // The status so far, once.
    EXPECT_EQ(result.out.find("Process started"), result.out.rfind("Process started")) << result.out;
    EXPECT_THAT(result.out, Not(HasSubstr("Process Completed")));
    const std::string said = "rows handed to the service: 2-";
    const std::size_t at = result.err.find(said);
    ASSERT_NE(at, std::string::npos) << result.err;
    const int last_row = std::stoi(result.err.substr(at + said.size()));
    json runs = Runs();
    ASSERT_EQ(runs.size(), runs_before + 1);
    EXPECT_EQ(runs.back()["records"].size(), static_cast<std::size_t>(last_row - 1));
    EXPECT_LT(last_row, 3001);
  }
}

TEST(VisibleControlsTest, ControlCharactersAreShownNotObeyed) {
  struct Case {
    std::string text;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {"plain, \xC3\xA9 and \xE2\x82\xAC\n\ttab", "plain, \xC3\xA9 and \xE2\x82\xAC\n\ttab"},
      {"\x1B[2J\x1B]0;owned\x07", "^[[2J^[]0;owned^G"},
      {"a\rb\x7F", "a^Mb^?"},
      {std::string("nul\0", 4), "nul^@"},
      {"\xC2\x9B" "31m and \xC2\xA0", "<U+009B>31m and \xC2\xA0"},
      {"\xC2", "\xC2"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cli::MakeControlsVisible(c.text), c.shown) << c.text;
    // The same through the stream filter, a byte at a time.
    std::ostringstream target;
    cli::VisibleControlsBuffer buffer(target.rdbuf());
    std::ostream out(&buffer);
    for (char byte : c.text) out.put(byte);
    out.flush();
    EXPECT_EQ(target.str(), c.shown) << c.text;
  }
}

}  // namespace
}  // namespace pelorin::testing
