// The `pelorin` program end to end: each command as a user runs it, against
// pelorin-provider on 127.0.0.1, with the settings in a private folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "provider_process.h"
#include "tests/integration/cli/cli_runner.h"

namespace pelorin::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(cli_.Run({"host", provider_.host_port()}).status, 0); }

  CliResult Login(const std::string& id = "alice", const std::string& password = "s3cret&x") {
    return cli_.Run({"login", "--id", id, "--password-stdin"}, password + "\n");
  }

  ProviderProcess provider_{{{"alice", "s3cret&x", 120, "50", "ALICE1,ALICE2", "list", false}}};
  CliRunner cli_;
};

TEST_F(CliTest, MenuFollowsTheLoginState) {
  CliResult before = cli_.Run({"menu"});
  EXPECT_EQ(before.status, 0);
  EXPECT_THAT(before.out, HasSubstr("  Login\tenabled\tvisible\n"));
  EXPECT_THAT(before.out, HasSubstr("  Logout\tdisabled\tvisible\n"));
  EXPECT_THAT(before.out, HasSubstr("  User Demo\tenabled\thidden\n"));

  ASSERT_EQ(Login().status, 0);
  CliResult after = cli_.Run({"menu"});
  EXPECT_THAT(after.out, HasSubstr("  Login\tdisabled\tvisible\n"));
  EXPECT_THAT(after.out, HasSubstr("  Logout\tenabled\tvisible\n"));
}

TEST_F(CliTest, LoginKeepsTheSessionUntilLogout) {
  CliResult login = Login();
  EXPECT_EQ(login.status, 0) << login.err;
  EXPECT_FALSE(login.err.empty());  // the service's welcome message

  CliResult credit = cli_.Run({"credit"});
  EXPECT_EQ(credit.status, 0) << credit.err;
  EXPECT_EQ(credit.out, "Available Credits: 120\n");

  CliResult logout = cli_.Run({"logout"});
  EXPECT_EQ(logout.status, 0);
  EXPECT_EQ(logout.err, "Logged out Successfully!!!\n");
  CliResult refused = cli_.Run({"credit"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_THAT(refused.err, HasSubstr("pelorin login"));
}

TEST_F(CliTest, WrongPasswordIsRefusedAndNothingIsStored) {
  CliResult login = Login("alice", "wrong");
  EXPECT_EQ(login.status, 1);
  EXPECT_FALSE(login.err.empty());
  EXPECT_THAT(cli_.Run({"menu"}).out, HasSubstr("  Login\tenabled\tvisible\n"));
}

TEST_F(CliTest, ThePasswordIsNeverWrittenToDisk) {
  ASSERT_EQ(Login().status, 0);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(cli_.dir())) {
    if (!entry.is_regular_file()) continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(file)), {});
    EXPECT_EQ(content.find("s3cret"), std::string::npos) << entry.path();
  }
}

TEST_F(CliTest, SettingsCommandsStoreWhatTheDialogsAccept) {
  struct Case {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{"packet-size", "700"}, 0},
      {{"packet-size", "12a"}, 2},  // the box's key filter drops the letter
      {{"packet-size", "--default"}, 0},
      {{"proxy", "add", "10", "0", "0", "1", "3128"}, 0},
      {{"proxy", "add", "10", "x", "0", "1", "3128"}, 2},
      {{"proxy", "remove"}, 0},
      {{"host", "http://bad/"}, 2},
      {{"no-such-command"}, 2},
  };
  for (const Case& c : cases) {
    CliResult result = cli_.Run(c.args);
    EXPECT_EQ(result.status, c.status) << c.args[0] << " " << c.args.back() << ": " << result.err;
  }
  EXPECT_EQ(cli_.Run({"packet-size"}).out, "1000 (default)\n");
  EXPECT_EQ(cli_.Run({"proxy", "show"}).out, "no proxy\n");
  ASSERT_EQ(cli_.Run({"packet-size", "900"}).status, 0);
  EXPECT_EQ(cli_.Run({"packet-size"}).out, "900\n");
}

TEST_F(CliTest, WebLinksUseTheServiceHost) {
  EXPECT_EQ(cli_.Run({"help", "--print"}).out,
            "http://" + provider_.host_port() + "/excel_plugin.html\n");
  EXPECT_EQ(cli_.Run({"register", "--print"}).out,
            "http://" + provider_.host_port() + "/UI/Registration.aspx\n");
  EXPECT_THAT(cli_.Run({"contact", "--print"}).out, StartsWith("mailto:"));
}

TEST_F(CliTest, HelpHandsTheAddressToTheDesktopOpener) {
  const std::string bin = cli_.dir() + "/bin";
  std::filesystem::create_directories(bin);
  {
    std::ofstream script(bin + "/xdg-open");
    script << "#!/bin/sh\nprintf '%s\\n' \"$@\" > " << cli_.dir() << "/opened\n";
  }
  std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
  cli_.PrependToPath(bin);
  ASSERT_EQ(cli_.Run({"help"}).status, 0);
  for (int i = 0; i < 100 && !std::filesystem::exists(cli_.dir() + "/opened"); ++i) {
    usleep(20000);
  }
  std::ifstream opened(cli_.dir() + "/opened");
  std::string line;
  std::getline(opened, line);
  EXPECT_EQ(line, "http://" + provider_.host_port() + "/excel_plugin.html");
}

TEST_F(CliTest, ALinkThatOpensNothingFails) {
  cli_.SetPath(cli_.dir());  // no xdg-open to be found
  for (const char* link : {"help", "register", "contact"}) {
    CliResult result = cli_.Run({link});
    EXPECT_EQ(result.status, 1) << link;
    EXPECT_FALSE(result.err.empty()) << link;
  }
}

TEST_F(CliTest, SendersFailsWhenTheServiceCannotBeReached) {
  ASSERT_EQ(Login().status, 0);
  provider_.StopServer();
  CliResult result = cli_.Run({"senders"});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("could not be reached"));
}

TEST(CliSheetsTest, ListsEverySheetWithTheActiveOneMarked) {
  CliRunner cli;
  CliResult result = cli.Run({"sheets", PELORIN_EXAMPLES_DIR "/contacts.xlsx"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "  1\tNotes\t1 rows\t1 columns (A-A)\n"
            "* 2\tContacts\t37 rows\t4 columns (A-D)\n");
}

TEST(CliSheetsTest, AnExcel97WorkbookIsListedLikeAnyOther) {
  CliRunner cli;
  CliResult result = cli.Run({"sheets", PELORIN_WORKBOOK_FIXTURES "/three_sheets.xls"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "  1\tContacts\t7 rows\t5 columns (A-E)\n"
            "* 2\tSecond\t3 rows\t2 columns (A-B)\n"
            "  3\tThird sheet\t2 rows\t3 columns (A-C)\n");
}

TEST(CliSheetsTest, AnUnreadableWorkbookIsOneLineAndExitTwo) {
  CliRunner cli;
  const std::string truncated = cli.dir() + "/truncated.xlsx";
  {
    std::ifstream in(PELORIN_EXAMPLES_DIR "/contacts.xlsx", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::ofstream(truncated, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  }
  for (const std::string& path : {truncated, cli.dir() + "/absent.ods",
                                  std::string(PELORIN_WORKBOOK_FIXTURES "/protected.xls")}) {
    CliResult result = cli.Run({"sheets", path});
    EXPECT_EQ(result.status, 2) << path;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_THAT(result.err, HasSubstr(std::filesystem::path(path).filename().string()));
  }
}

}  // namespace
}  // namespace pelorin::testing
