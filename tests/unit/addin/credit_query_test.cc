// The GetCreditDetails request, the balance shown and the check before a send.
#include "core/addin/credit_query.h"

#include <gmock/gmock.h>

#include "tests/support/fakes/test_addin.h"

namespace pelorin::testing {
namespace {

using ::testing::ElementsAre;

constexpr const char* kPage = "http://www.pelorin.example/PelorinExcelplugin02022012/GetCreditDetails.aspx";

class CreditQueryTest : public ::testing::Test {
 protected:
  void SetUp() override { addin.LogIn("demo"); }

  TestAddin addin;
  CreditQuery query{addin.context};
};

TEST_F(CreditQueryTest, AsksForTheLoggedInUserWithTheClocksTimestamp) {
  addin.transport.replies = {"57"};
  EXPECT_EQ(query.Run(), "57");

  ASSERT_EQ(addin.transport.requests.size(), 1u);
  const HttpRequest& request = addin.transport.requests[0];
  EXPECT_EQ(request.url, std::string(kPage) + "?uid=demo&ticks=2026-03-05%2014%3A40%3A07");
  EXPECT_TRUE(request.body.empty());
  EXPECT_FALSE(request.content_type.has_value());
}

TEST_F(CreditQueryTest, EveryQueryCarriesAFreshTimestamp) {
  std::string first = query.Url();
  addin.clock.SetTime(14, 40, 8);
  EXPECT_NE(query.Url(), first);
  addin.clock.SetTime(0, 0, 0);
  EXPECT_EQ(query.Url(), std::string(kPage) + "?uid=demo&ticks=2026-03-05");
}

TEST_F(CreditQueryTest, ALoginIdCannotAddOrCutParameters) {
  addin.LogIn("a&b c=d");
  EXPECT_EQ(query.Url(), std::string(kPage) + "?uid=a%26b%20c%3Dd&ticks=2026-03-05%2014%3A40%3A07");
}

TEST_F(CreditQueryTest, GoesToTheConfiguredHost) {
  addin.settings.SaveServiceHost("127.0.0.1:8080");
  EXPECT_THAT(query.Url(), ::testing::StartsWith(
                               "http://127.0.0.1:8080/PelorinExcelplugin02022012/GetCreditDetails.aspx?"));
}

TEST_F(CreditQueryTest, TheBalanceShowsTheReplyWholeAfterThePrefix) {
  struct Case {
    const char* reply;
    const char* shown;
  };
  const Case cases[] = {
      {"57", "Available Credits: 57"},
      {"0", "Available Credits: 0"},
      {"", "Available Credits: "},
      {" 12\r\n", "Available Credits:  12\r\n"},
      {FakeTransport::kFail, "Available Credits: ERROR"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    addin.ui.messages.clear();
    addin.transport.replies = {c.reply};
    query.ShowBalance();
    ASSERT_EQ(addin.ui.messages.size(), 1u);
    EXPECT_EQ(addin.ui.messages[0].text, c.shown);
    EXPECT_EQ(addin.ui.messages[0].style, 0);
    EXPECT_EQ(addin.ui.messages[0].title, "Pelorin");
  }
}

TEST_F(CreditQueryTest, OnlyAnExactZeroRefusesASend) {
  struct Case {
    const char* reply;
    bool allowed;
  };
  const Case cases[] = {{"0", false},    {"00", true}, {"0 ", true},  {"\n0", true},
                        {"", true},      {"1", true},  {"-1", true},  {"ERROR", true},
                        {FakeTransport::kFail, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    addin.ui.messages.clear();
    addin.transport.replies = {c.reply};
    EXPECT_EQ(query.AllowsSend(), c.allowed);
    if (c.allowed) {
      EXPECT_TRUE(addin.ui.messages.empty());
    } else {
      EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("You have Insufficient Credits"));
    }
  }
}

}  // namespace
}  // namespace pelorin::testing
