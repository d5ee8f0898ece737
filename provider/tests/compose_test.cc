// The Compose page: run bookkeeping, credits and the failure replies.
#include <gtest/gtest.h>

#include "provider_client.h"

namespace pelorin::provider_test {
namespace {

using testing::ProviderProcess;

class ComposeTest : public ::testing::Test {
 protected:
  std::string Credits(const std::string& uid) {
    return client_.Page("GetCreditDetails.aspx?uid=" + uid + "&ticks=1");
  }

  ProviderProcess provider_{{{"alice", "pw", 100, "3", "ABC", "code-list", false},
                             {"bob", "pw", 100, "50", "BOB", "list", false}}};
  Client client_{provider_};
};

TEST_F(ComposeTest, StoresARunOfStartStartEndPacketsInOrder) {
  const Records first = {{"919800000001", "Dear Ann, hello"}, {"919800000002", "Dear Bo, hello"}};
  const Records second = {{"919800000003", "Ünïcödé ✓ & = + % ~?"}};
  const Records third = {{"919800000004", "last one"}};
  EXPECT_EQ(client_.Compose("alice", "START", "alice_201235947", RecordText(first)), kSuccess);
  EXPECT_EQ(client_.Compose("alice", "START", "alice_201235947", RecordText(second)), kSuccess);

  nlohmann::json open = Runs(provider_);
  ASSERT_EQ(open.size(), 1u);
  EXPECT_FALSE(open[0]["closed"].get<bool>());

  EXPECT_EQ(client_.Compose("alice", "END", "alice_201235947", RecordText(third)), kSuccess);
  nlohmann::json runs = Runs(provider_);
  ASSERT_EQ(runs.size(), 1u);
  const nlohmann::json& run = runs[0];
  EXPECT_EQ(run["uid"], "alice");
  EXPECT_EQ(run["filename"], "alice_201235947");
  EXPECT_EQ(run["sid"], "ABC");
  EXPECT_EQ(run["catid"], "3");
  EXPECT_EQ(run["ip"], "10.1.2.3");
  EXPECT_EQ(run["flash"], "N");
  EXPECT_TRUE(run["closed"].get<bool>());
  EXPECT_EQ(run["states"], nlohmann::json({"START", "START", "END"}));
  Records all = first;
  all.insert(all.end(), second.begin(), second.end());
  all.insert(all.end(), third.begin(), third.end());
  EXPECT_EQ(RecordsOf(run), all);
  EXPECT_EQ(Credits("alice"), "96");
}

TEST_F(ComposeTest, KeepsScheduleFlashAndEncodedSenderOfTheRun) {
  httplib::Result result = client_.Post(
      ComposePath("alice", "ALL", "alice_1", "MY%20SID%2D1", "50"),
      ComposeBody("1|*^hi~?*", "2012-March-05|09|30|09|30", "Y"));
  ASSERT_TRUE(result);
  EXPECT_EQ(result->body, kSuccess);
  nlohmann::json run = Runs(provider_)[0];
  EXPECT_EQ(run["sid"], "MY SID-1");
  EXPECT_EQ(run["catid"], "50");
  EXPECT_EQ(run["schedule"], "2012-March-05|09|30|09|30");
  EXPECT_EQ(run["flash"], "Y");
  EXPECT_EQ(run["states"], nlohmann::json({"ALL"}));
  EXPECT_TRUE(run["closed"].get<bool>());
}

TEST_F(ComposeTest, ClosesWithAnEmptyEndPacketAndRefusesPacketsAfterClose) {
  EXPECT_EQ(client_.Compose("alice", "START", "alice_2", "1|*^a~?*2|*^b~?*"), kSuccess);
  EXPECT_EQ(client_.Compose("alice", "END", "alice_2", ""), kSuccess);
  for (const char* state : {"START", "END", "ALL"}) {
    EXPECT_EQ(client_.Compose("alice", state, "alice_2", "3|*^c~?*"),
              "Error : 4 - Run already closed.")
        << state;
  }
  nlohmann::json run = Runs(provider_)[0];
  EXPECT_EQ(run["states"], nlohmann::json({"START", "END"}));
  EXPECT_EQ(RecordsOf(run), (Records{{"1", "a"}, {"2", "b"}}));
  EXPECT_EQ(Credits("alice"), "98");
}

TEST_F(ComposeTest, ARunStaysOpenThroughRefusalsAndTakesTheResumedPackets) {
  // Packets 1 and 2 arrive; 3 is refused for credit; the client resumes
  // later with 3 and then the last, which ends the run.
  ASSERT_EQ(provider_.RunCommand({"account", "set", "--db", provider_.db_path(), "--id", "bob",
                                  "--credits", "3"}),
            0);
  EXPECT_EQ(client_.Compose("bob", "START", "bob_9", "1|*^a~?*"), kSuccess);
  EXPECT_EQ(client_.Compose("bob", "START", "bob_9", "2|*^b~?*"), kSuccess);
  EXPECT_EQ(client_.Compose("bob", "START", "bob_9", "3|*^c~?*4|*^d~?*"),
            "Error : 2 - Insufficient Credits.");
  EXPECT_FALSE(Runs(provider_, "bob")[0]["closed"].get<bool>());
  ASSERT_EQ(provider_.RunCommand({"account", "set", "--db", provider_.db_path(), "--id", "bob",
                                  "--credits", "10"}),
            0);
  EXPECT_EQ(client_.Compose("bob", "START", "bob_9", "3|*^c~?*4|*^d~?*"), kSuccess);
  EXPECT_EQ(client_.Compose("bob", "END", "bob_9", "5|*^e~?*"), kSuccess);
  nlohmann::json runs = Runs(provider_, "bob");
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_TRUE(runs[0]["closed"].get<bool>());
  EXPECT_EQ(runs[0]["states"], nlohmann::json({"START", "START", "START", "END"}));
  EXPECT_EQ(runs[0]["packet_records"], nlohmann::json({1, 1, 2, 1}));
  EXPECT_EQ(RecordsOf(runs[0]),
            (Records{{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}, {"5", "e"}}));
}

TEST_F(ComposeTest, KeysRunsByUserAndFileName) {
  EXPECT_EQ(client_.Compose("alice", "ALL", "same_name", "1|*^from alice~?*"), kSuccess);
  EXPECT_EQ(client_.Compose("bob", "ALL", "same_name", "2|*^from bob~?*"), kSuccess);
  EXPECT_EQ(client_.Compose("alice", "START", "other", "3|*^open~?*"), kSuccess);
  nlohmann::json all = Runs(provider_);
  ASSERT_EQ(all.size(), 3u);
  nlohmann::json bobs = Runs(provider_, "bob");
  ASSERT_EQ(bobs.size(), 1u);
  EXPECT_EQ(RecordsOf(bobs[0]), (Records{{"2", "from bob"}}));
  EXPECT_EQ(Runs(provider_, "alice").size(), 2u);
}

TEST_F(ComposeTest, RefusesAPacketBeyondTheCreditWithoutChargingAnything) {
  ASSERT_EQ(provider_.RunCommand({"account", "set", "--db", provider_.db_path(), "--id", "bob",
                                  "--credits", "3"}),
            0);
  EXPECT_EQ(client_.Compose("bob", "START", "bob_1", "1|*^a~?*2|*^b~?*3|*^c~?*4|*^d~?*"),
            "Error : 2 - Insufficient Credits.");
  EXPECT_EQ(Credits("bob"), "3");
  EXPECT_TRUE(Runs(provider_, "bob").empty());
  // Exactly the credit left is enough.
  EXPECT_EQ(client_.Compose("bob", "ALL", "bob_1", "1|*^a~?*2|*^b~?*3|*^c~?*"), kSuccess);
  EXPECT_EQ(Credits("bob"), "0");
  EXPECT_EQ(client_.Compose("bob", "ALL", "bob_2", "1|*^a~?*"), "Error : 2 - Insufficient Credits.");
  // An empty closing packet costs nothing, so it passes with no credit.
  EXPECT_EQ(client_.Compose("bob", "END", "bob_3", ""), kSuccess);
}

TEST_F(ComposeTest, AnswersEachRefusalWithItsOwnNumber) {
  struct Case {
    const char* name;
    std::string path;
    std::string body;
    const char* reply_prefix;
  } cases[] = {
      {"unknown user", ComposePath("mallory", "ALL", "m_1"), ComposeBody("1|*^a~?*"),
       "Error : 1 - "},
      {"empty user", ComposePath("", "ALL", "m_1"), ComposeBody("1|*^a~?*"), "Error : 1 - "},
      {"record without separator", ComposePath("alice", "ALL", "a_1"),
       ComposeBody("1|*^a~?*justtext~?*"), "Error : 3 - Malformed record 2 at character 9 "},
      {"record with empty mobile", ComposePath("alice", "ALL", "a_1"),
       ComposeBody("|*^no number~?*"), "Error : 3 - Malformed record 1 at character 1 "},
      {"unknown state", ComposePath("alice", "MIDDLE", "a_1"), ComposeBody("1|*^a~?*"),
       "Error : 5 - "},
      {"lower-case state", ComposePath("alice", "all", "a_1"), ComposeBody("1|*^a~?*"),
       "Error : 5 - "},
      {"no variable1", ComposePath("alice", "ALL", "a_1"), "variable2=&variable3=N",
       "Error : 6 - "},
      {"empty body", ComposePath("alice", "ALL", "a_1"), "", "Error : 6 - "},
      {"bad escape", ComposePath("alice", "ALL", "a_1"), "variable1=1%7C%2A%5E50%off",
       "Error : 6 - "},
      {"invalid UTF-8", ComposePath("alice", "ALL", "a_1"), "variable1=1%7C%2A%5E%C3%28",
       "Error : 8 - "},
      {"invalid UTF-8 in query", ComposePath("alice", "ALL", "a_%FF"), ComposeBody("1|*^a~?*"),
       "Error : 8 - "},
      {"no file name", ComposePath("alice", "ALL", ""), ComposeBody("1|*^a~?*"), "Error : 9 - "},
  };
  for (const Case& c : cases) {
    httplib::Result result = client_.Post(c.path, c.body);
    ASSERT_TRUE(result) << c.name;
    EXPECT_EQ(result->status, 200) << c.name;
    EXPECT_EQ(result->body.rfind(c.reply_prefix, 0), 0u) << c.name << ": " << result->body;
    EXPECT_EQ(result->body.back(), '.') << c.name << ": " << result->body;
  }
  EXPECT_TRUE(Runs(provider_).empty());
  EXPECT_EQ(Credits("alice"), "100");
}

}  // namespace
}  // namespace pelorin::provider_test
