// The query-only service pages and the web pages, over HTTP.
#include <gtest/gtest.h>

#include "provider_client.h"

namespace pelorin::provider_test {
namespace {

using testing::ProviderProcess;

std::vector<ProviderProcess::Account> Accounts() {
  return {
      {"alice", "secret", 250, "3", "ABCDEF,GHIJKL", "code-list", false},
      {"bob", "pw", 0, "10", "BOBSMS", "list", false},
      {"carol", "pw", 7, "50", "CAR1,CAR2", "code", false},
      {"newbie", "first", 10, "1", "NEW", "code-list", true},
      {"a&b c", "p+w%", 42, "5", "", "code-list", false},
  };
}

class ServicePagesTest : public ::testing::Test {
 protected:
  ProviderProcess provider_{Accounts()};
  Client client_{provider_};
};

TEST_F(ServicePagesTest, UserValidationAnswersEveryLoginForm) {
  struct Case {
    const char* query;
    const char* reply;
  } cases[] = {
      {"uid=alice&pwd=secret&ip=10.0.0.1&version=1.0",
       "SUCCESS@#$&Welcome alice! You are logged in.@#$&3"},
      {"uid=carol&pwd=pw&ip=10.0.0.1&version=1.0",
       "SUCCESS@#$&Welcome carol! You are logged in.@#$&50"},
      {"uid=alice&pwd=wrong&ip=10.0.0.1&version=1.0", "FAIL@#$&Invalid Login ID or Password"},
      {"uid=alice&pwd=Secret&ip=10.0.0.1&version=1.0", "FAIL@#$&Invalid Login ID or Password"},
      {"uid=nobody&pwd=secret&ip=10.0.0.1&version=1.0", "FAIL@#$&Invalid Login ID or Password"},
      {"uid=&pwd=&ip=&version=1.0", "FAIL@#$&Invalid Login ID or Password"},
      {"uid=newbie&pwd=first&ip=10.0.0.1&version=1.0", "1019"},
      {"uid=newbie&pwd=wrong&ip=10.0.0.1&version=1.0", "FAIL@#$&Invalid Login ID or Password"},
      // Percent-decoded values, '+' as a space.
      {"uid=a%26b+c&pwd=p%2Bw%25&ip=1&version=1.0",
       "SUCCESS@#$&Welcome a&b c! You are logged in.@#$&5"},
      // Sent unencoded, the "&" cuts the id short.
      {"uid=a&b%20c&pwd=p%2Bw%25&ip=1&version=1.0", "FAIL@#$&Invalid Login ID or Password"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(client_.Page(std::string("UserValidation.aspx?") + c.query), c.reply) << c.query;
  }
}

TEST_F(ServicePagesTest, UpdateCheckFollowsTheServerWideSetting) {
  const std::string check =
      "UserValidation.aspx?uid=!UID!&pwd=!PWD!&ip=!IP!&version=1.0&type=loading";
  EXPECT_EQ(client_.Page(check), "1.0");
  provider_.SetUpdate("MINOR");
  EXPECT_EQ(client_.Page(check), "MINOR@#$&NO");
  provider_.SetUpdate("MAJOR", "http://example.test/new.exe");
  EXPECT_EQ(client_.Page(check), "MAJOR@#$&http://example.test/new.exe");
  // The check is not a login, whatever the account's state.
  EXPECT_EQ(client_.Page("UserValidation.aspx?uid=newbie&pwd=first&type=loading"),
            "MAJOR@#$&http://example.test/new.exe");
  provider_.SetUpdate("none");
  EXPECT_EQ(client_.Page(check), "1.0");
  EXPECT_THROW(provider_.SetUpdate("major"), std::runtime_error);
}

TEST(UpdateCheckTest, StartsFromTheServeFlags) {
  ProviderProcess provider({}, {"--update", "MAJOR", "--update-url", "http://dl.test/p"});
  Client client(provider);
  EXPECT_EQ(client.Page("UserValidation.aspx?uid=!UID!&pwd=!PWD!&ip=!IP!&version=1.0&type=loading"),
            "MAJOR@#$&http://dl.test/p");
}

TEST_F(ServicePagesTest, CreditDetailsAnswerTheBalance) {
  EXPECT_EQ(client_.Page("GetCreditDetails.aspx?uid=alice&ticks=10/03/2012%2009:04:07"), "250");
  EXPECT_EQ(client_.Page("GetCreditDetails.aspx?uid=bob&ticks=x"), "0");
  EXPECT_EQ(client_.Page("GetCreditDetails.aspx?uid=nobody&ticks=x"), "0");
  EXPECT_EQ(client_.Page("GetCreditDetails.aspx?uid=a%26b%20c&ticks=x"), "42");
  // A change made from the command line shows at once.
  ASSERT_EQ(provider_.RunCommand({"account", "set", "--db", provider_.db_path(), "--id", "alice",
                                  "--credits", "9"}),
            0);
  EXPECT_EQ(client_.Page("GetCreditDetails.aspx?uid=alice&ticks=x"), "9");
}

TEST_F(ServicePagesTest, SenderIdAnswersInTheAccountsForm) {
  struct Case {
    const char* uid;
    const char* reply;
  } cases[] = {
      {"alice", "3$ABCDEF,GHIJKL"},  // code-list
      {"bob", "BOBSMS"},             // list
      {"carol", "50"},               // code
      {"a%26b+c", "5$"},             // code-list with no senders
      {"nobody", "0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(client_.Page(std::string("GetSenderID.aspx?uid=") + c.uid), c.reply) << c.uid;
  }
}

TEST_F(ServicePagesTest, PagesAnswerGetAsWellAsPost) {
  httplib::Result result = client_.Get(std::string(kPrefix) + "GetCreditDetails.aspx?uid=alice");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(result->body, "250");
}

TEST_F(ServicePagesTest, WebPagesAreHtml) {
  struct Case {
    const char* path;
    const char* contains;
  } cases[] = {
      {"/", "excel_plugin.html"},
      {"/excel_plugin.html", "Send Text Message"},
      {"/UI/Registration.aspx", "<form"},
      {"/runs", "<table"},
  };
  for (const Case& c : cases) {
    httplib::Result result = client_.Get(c.path);
    ASSERT_TRUE(result) << c.path;
    EXPECT_EQ(result->status, 200) << c.path;
    EXPECT_NE(result->get_header_value("Content-Type").find("text/html"), std::string::npos);
    EXPECT_NE(result->body.find(c.contains), std::string::npos) << c.path;
  }
  httplib::Result missing = client_.Get("/no/such/page");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
}

TEST(WebPagesTest, LinkToTheConfiguredWebHost) {
  ProviderProcess provider({}, {"--web-host", "sms.example.test"});
  Client client(provider);
  httplib::Result home = client.Get("/");
  ASSERT_TRUE(home);
  EXPECT_NE(home->body.find("http://sms.example.test/excel_plugin.html"), std::string::npos);
}

}  // namespace
}  // namespace pelorin::provider_test
