// The account command line, used while the server runs: what it changes is
// what the service pages answer next.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "provider_client.h"

namespace pelorin::provider_test {
namespace {

using testing::ProviderProcess;

class AccountCliTest : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& args, std::string* out = nullptr) {
    std::vector<std::string> full = args;
    full.insert(full.begin() + 2, {"--db", provider_.db_path()});
    return provider_.RunCommand(full, out);
  }
  std::string Login(const std::string& id, const std::string& password) {
    return client_.Page("UserValidation.aspx?uid=" + id + "&pwd=" + password +
                        "&ip=10.0.0.1&version=1.0&type=login");
  }

  ProviderProcess provider_{{{"alice", "pw", 100, "3", "ABC", "code-list", false}}};
  Client client_{provider_};
};

TEST_F(AccountCliTest, AddedAccountCanLogInAndSeeItsCredit) {
  ASSERT_EQ(Run({"account", "add", "--id", "bob", "--password", "secret", "--credits", "42",
                 "--dnd", "10", "--senders", "X1,X2"}),
            0);
  EXPECT_EQ(client_.Page("GetCreditDetails.aspx?uid=bob&ticks=1"), "42");
  EXPECT_EQ(client_.Page("GetSenderID.aspx?uid=bob"), "10$X1,X2");
  std::string list;
  ASSERT_EQ(Run({"account", "list"}, &list), 0);
  EXPECT_NE(list.find("bob\t42\t10\tX1,X2"), std::string::npos) << list;
}

TEST_F(AccountCliTest, SetChangesOnlyTheGivenFields) {
  ASSERT_EQ(Run({"account", "set", "--id", "alice", "--credits", "7"}), 0);
  EXPECT_EQ(client_.Page("GetCreditDetails.aspx?uid=alice&ticks=1"), "7");
  EXPECT_EQ(client_.Page("GetSenderID.aspx?uid=alice"), "3$ABC");
  ASSERT_EQ(Run({"account", "set", "--id", "alice", "--sender-reply", "list"}), 0);
  EXPECT_EQ(client_.Page("GetSenderID.aspx?uid=alice"), "ABC");
}

TEST_F(AccountCliTest, FirstLoginFlagAnswers1019UntilCleared) {
  ASSERT_EQ(Run({"account", "set", "--id", "alice", "--first-login"}), 0);
  EXPECT_EQ(Login("alice", "pw"), "1019");
  ASSERT_EQ(Run({"account", "set", "--id", "alice", "--no-first-login"}), 0);
  EXPECT_NE(Login("alice", "pw"), "1019");
}

TEST_F(AccountCliTest, RemovedAccountIsUnknown) {
  ASSERT_EQ(Run({"account", "remove", "--id", "alice"}), 0);
  std::string list;
  ASSERT_EQ(Run({"account", "list"}, &list), 0);
  EXPECT_EQ(list.find("alice"), std::string::npos);
  EXPECT_EQ(client_.Compose("alice", "ALL", "a_1", "1|*^a~?*").rfind("Error : ", 0), 0u);
  EXPECT_NE(client_.Compose("alice", "ALL", "a_1", "1|*^a~?*"), kSuccess);
}

TEST_F(AccountCliTest, RefusesBadInputWithoutChangingAnything) {
  struct Case {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{"account", "add", "--id", "alice", "--password", "again"}, 1},  // exists already
      {{"account", "add", "--id", "", "--password", "x"}, 2},
      {{"account", "add", "--id", "carol", "--dnd", "8"}, 2},
      {{"account", "add", "--id", "carol", "--sender-reply", "yaml"}, 2},
      {{"account", "add", "--id", "carol", "--credits", "-1"}, 2},
      {{"account", "set", "--id", "nobody", "--credits", "1"}, 1},
      {{"account", "remove", "--id", "nobody"}, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.args), c.status) << c.args[1] << " " << c.args[3];
  }
  std::string list;
  ASSERT_EQ(Run({"account", "list"}, &list), 0);
  EXPECT_EQ(list, "alice\t100\t3\tABC\tcode-list\t-\n");
}

}  // namespace
}  // namespace pelorin::provider_test

namespace pelorin::provider_test {
namespace {

TEST(ProviderLifecycleTest, StopsCleanlyOnSigtermAndKeepsWhatItStored) {
  testing::ProviderProcess provider({{"alice", "pw", 10, "0", "ABC", "code-list", false}});
  Client client(provider);
  ASSERT_EQ(client.Compose("alice", "ALL", "kept_1", "1|*^a~?*"), kSuccess);
  int status = provider.StopServer();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::string runs;
  ASSERT_EQ(provider.RunCommand({"runs", "--db", provider.db_path(), "--json"}, &runs), 0);
  EXPECT_NE(runs.find("kept_1"), std::string::npos) << runs;
}

}  // namespace
}  // namespace pelorin::provider_test
