// Faults switched on through the admin endpoint.
#include <gtest/gtest.h>

#include "provider_client.h"

namespace pelorin::provider_test {
namespace {

using testing::ProviderProcess;

class FaultsTest : public ::testing::Test {
 protected:
  std::string Credit() { return client_.Page("GetCreditDetails.aspx?uid=alice&ticks=1"); }

  ProviderProcess provider_{{{"alice", "pw", 100, "3", "ABC", "code-list", false}}};
  Client client_{provider_};
};

TEST_F(FaultsTest, StatusFaultAnswersThatStatusWithHtml) {
  provider_.SetFault("page=GetCreditDetails&kind=status&status=500");
  httplib::Result result = client_.Post(std::string(kPrefix) + "GetCreditDetails.aspx?uid=alice");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 500);
  EXPECT_NE(result->get_header_value("Content-Type").find("text/html"), std::string::npos);
  EXPECT_NE(result->body.find("<html>"), std::string::npos);
  // Other pages are untouched.
  EXPECT_EQ(client_.Page("GetSenderID.aspx?uid=alice"), "3$ABC");
}

TEST_F(FaultsTest, DropClosesTheConnectionWithoutAReply) {
  provider_.SetFault("page=Compose&kind=drop");
  httplib::Result result =
      client_.Post(ComposePath("alice", "ALL", "a_1"), ComposeBody("1|*^a~?*"));
  EXPECT_FALSE(result);
  provider_.ClearFaults();
  // The dropped packet was not stored, and the server still answers.
  EXPECT_TRUE(Runs(provider_).empty());
  EXPECT_EQ(client_.Compose("alice", "ALL", "a_1", "1|*^a~?*"), kSuccess);
}

TEST_F(FaultsTest, StoredDropKeepsThePacketButSendsNoReply) {
  provider_.SetFault("page=Compose&kind=stored-drop&count=1");
  httplib::Result result =
      client_.Post(ComposePath("alice", "START", "a_1"), ComposeBody("1|*^a~?*"));
  EXPECT_FALSE(result);
  nlohmann::json runs = Runs(provider_);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(RecordsOf(runs[0]), (Records{{"1", "a"}}));
  EXPECT_EQ(Credit(), "99");
  // The fault lapsed: the run goes on.
  EXPECT_EQ(client_.Compose("alice", "END", "a_1", "2|*^b~?*"), kSuccess);
}

TEST_F(FaultsTest, TimeoutAndReplyFaultsAnswerTheirText) {
  struct Case {
    const char* fault;
    const char* reply;
  } cases[] = {
      {"page=Compose&kind=timeout", "Error : -1 - Operation Timed Out."},
      {"page=Compose&kind=reply&body=Error+%3A+42+-+Whatever.", "Error : 42 - Whatever."},
      {"page=*&kind=reply&body=", ""},
      {"page=*&kind=reply&body=ERROR", "ERROR"},
  };
  for (const Case& c : cases) {
    provider_.SetFault(c.fault);
    EXPECT_EQ(client_.Compose("alice", "ALL", "a_1", "1|*^a~?*"), c.reply) << c.fault;
    provider_.ClearFaults();
  }
  EXPECT_TRUE(Runs(provider_).empty());
  EXPECT_EQ(Credit(), "100");
}

TEST_F(FaultsTest, DelayAnswersNormallyButLate) {
  provider_.SetFault("page=UserValidation&kind=delay&ms=3000&count=1");
  httplib::Client impatient("127.0.0.1", provider_.port());
  impatient.set_read_timeout(std::chrono::milliseconds(300));
  httplib::Result cut =
      impatient.Post((std::string(kPrefix) + "UserValidation.aspx?uid=alice&pwd=pw").c_str());
  EXPECT_FALSE(cut);

  provider_.SetFault("page=UserValidation&kind=delay&ms=200&count=1");
  EXPECT_EQ(client_.Page("UserValidation.aspx?uid=alice&pwd=pw&ip=1&version=1.0"),
            "SUCCESS@#$&Welcome alice! You are logged in.@#$&3");
}

TEST_F(FaultsTest, SkipAndCountChooseWhichRequestsAreHit) {
  provider_.SetFault("page=GetCreditDetails&kind=reply&body=X&skip=2&count=3");
  std::vector<std::string> replies;
  for (int i = 0; i < 7; ++i) replies.push_back(Credit());
  EXPECT_EQ(replies, (std::vector<std::string>{"100", "100", "X", "X", "X", "100", "100"}));
}

TEST_F(FaultsTest, PageFaultTakesPrecedenceOverWildcardUntilCleared) {
  provider_.SetFault("page=*&kind=reply&body=ANY");
  provider_.SetFault("page=GetCreditDetails&kind=reply&body=CREDIT");
  EXPECT_EQ(Credit(), "CREDIT");
  EXPECT_EQ(client_.Page("GetSenderID.aspx?uid=alice"), "ANY");
  // A new fault for the same page replaces the old one.
  provider_.SetFault("page=GetCreditDetails&kind=reply&body=AGAIN");
  EXPECT_EQ(Credit(), "AGAIN");
  provider_.ClearFaults();
  EXPECT_EQ(Credit(), "100");
  EXPECT_EQ(client_.Page("GetSenderID.aspx?uid=alice"), "3$ABC");
}

TEST_F(FaultsTest, RefusesBadFaultRequests) {
  for (const char* query : {"page=Nope&kind=drop", "page=Compose&kind=explode",
                            "page=Compose&kind=delay&ms=-5", "page=Compose&kind=status&status=42",
                            "page=Compose&kind=delay&ms=abc"}) {
    EXPECT_THROW(provider_.SetFault(query), std::runtime_error) << query;
  }
  EXPECT_EQ(Credit(), "100");
}

}  // namespace
}  // namespace pelorin::provider_test
