// What the user sees when the service cannot be reached or answers with an
// HTTP error page.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "compose_url.h"
#include "core/addin/credit_query.h"
#include "core/login/login_form.h"
#include "tests/support/logging_proxy.h"
#include "posix_addin.h"
#include "provider_process.h"
#include "temp_folder.h"

namespace pelorin::service_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::ProviderProcess;
using testing::UnusedLoopbackPort;

constexpr const char* kDefaultFailMessage = "Login Failed. Please check you Login ID and Password";

// The provider's page for an injected status.
std::string StatusPage(int status) {
  std::string code = std::to_string(status);
  return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>HTTP " + code +
         "</title></head><body><h1>HTTP " + code + "</h1><p>The server answered with status " +
         code + ".</p></body></html>";
}

class ServerFailureTest : public ::testing::Test {
 protected:
  void SetUp() override { addin_.UseService(provider_.host_port()); }

  std::string CreditUrl() {
    addin_.settings.SaveLoginDetails("alice");
    return CreditQuery(addin_.context).Url();
  }

  ProviderProcess provider_{{{"alice", "s3cret", 250, "3", "PELRIN", "code-list", false}}};
  TempFolder folder_;
  PosixAddin addin_{folder_.path()};
};

TEST(ServerUnreachableTest, NoReplyAnswersErrorAndOnlyTheUploadSaysWhy) {
  struct Case {
    const char* name;
    void (*break_service)(ProviderProcess&, PosixAddin&);
  } cases[] = {
      {"server stopped", [](ProviderProcess& p, PosixAddin&) { p.StopServer(); }},
      {"nothing on the port",
       [](ProviderProcess&, PosixAddin& a) {
         a.UseService("127.0.0.1:" + std::to_string(UnusedLoopbackPort()));
       }},
      {"connection dropped",
       [](ProviderProcess& p, PosixAddin&) { p.SetFault("page=*&kind=drop"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProviderProcess provider({{"alice", "s3cret", 250, "3", "PELRIN", "code-list", false}});
    TempFolder folder;
    PosixAddin addin(folder.path());
    addin.UseService(provider.host_port());
    c.break_service(provider, addin);
    const std::string host = addin.settings.ServiceHost();

    EXPECT_EQ(addin.service.strHttpPost("http://" + host +
                                        "/PelorinExcelplugin02022012/GetCreditDetails.aspx?uid=alice"),
              "ERROR");
    EXPECT_THAT(addin.ui.messages, IsEmpty());
    EXPECT_EQ(addin.service.strHttpPostForm(ComposeUrl(host, "alice", "ALL", "a_1"),
                                            "9800000001|*^hi~?*", "", "N"),
              "ERROR");
    ASSERT_EQ(addin.ui.messages.size(), 1u);
    EXPECT_THAT(addin.ui.messages[0].text, Not(IsEmpty()));
    EXPECT_EQ(addin.ui.messages[0].style, 0);
    EXPECT_EQ(addin.ui.messages[0].title, "Pelorin");
  }
}

TEST_F(ServerFailureTest, LoginWithTheServerDownSaysTheLoginFailed) {
  provider_.StopServer();
  frmLogin& dialog = addin_.OpenLogin();
  // The failed update check is the one-field case: the notice goes.
  EXPECT_FALSE(dialog.control("lblalert").visible);
  addin_.LogIn(dialog, "alice", "s3cret");

  EXPECT_THAT(addin_.ui.MessageTexts(), ElementsAre(kDefaultFailMessage));
  EXPECT_FALSE(addin_.settings.IsLoggedIn());
  EXPECT_TRUE(dialog.visible());
  EXPECT_TRUE(dialog.control("btnLogin").enabled);
  EXPECT_FALSE(addin_.ui.busy);
}

TEST_F(ServerFailureTest, LoginFailureWithoutAMessageRepeatsTheServiceEarlierOne) {
  frmLogin& dialog = addin_.OpenLogin();
  addin_.LogIn(dialog, "alice", "wrong");
  provider_.StopServer();
  addin_.LogIn(dialog, "alice", "s3cret");
  EXPECT_THAT(addin_.ui.MessageTexts(),
              ElementsAre("Invalid Login ID or Password", "Invalid Login ID or Password"));
  EXPECT_FALSE(addin_.settings.IsLoggedIn());
}

TEST_F(ServerFailureTest, CreditWithTheServerDownShowsTheErrorReply) {
  addin_.LogIn(addin_.OpenLogin(), "alice", "s3cret");
  ASSERT_TRUE(addin_.settings.IsLoggedIn());
  addin_.ui.messages.clear();
  provider_.StopServer();

  addin_.Click("Credit Balance");
  EXPECT_THAT(addin_.ui.MessageTexts(), ElementsAre("Available Credits: ERROR"));
  // The check before a send lets an unanswered query through.
  EXPECT_TRUE(CreditQuery(addin_.context).AllowsSend());
  EXPECT_TRUE(addin_.settings.IsLoggedIn());
}

TEST_F(ServerFailureTest, ErrorStatusPagesAreTheReply) {
  for (int status : {500, 404, 503}) {
    SCOPED_TRACE(status);
    provider_.SetFault("page=*&kind=status&status=" + std::to_string(status));
    addin_.ui.messages.clear();

    EXPECT_EQ(addin_.service.strHttpPost(CreditUrl()), StatusPage(status));
    EXPECT_EQ(addin_.service.strHttpPostForm(
                  ComposeUrl(provider_.host_port(), "alice", "ALL", "a_1"), "98|*^hi~?*", "", "N"),
              StatusPage(status));
    EXPECT_THAT(addin_.ui.messages, IsEmpty());
    provider_.ClearFaults();
  }
}

TEST_F(ServerFailureTest, ErrorStatusPagesAsTheUserSeesThem) {
  provider_.SetFault("page=GetCreditDetails&kind=status&status=500");
  addin_.settings.SaveLoginDetails("alice");
  addin_.Click("Credit Balance");
  EXPECT_THAT(addin_.ui.MessageTexts(), ElementsAre("Available Credits: " + StatusPage(500)));

  // A page without the reply separator is a plain failure to the login.
  addin_.settings.ClearLoginDetails();
  addin_.ui.messages.clear();
  provider_.SetFault("page=UserValidation&kind=status&status=500");
  frmLogin& dialog = addin_.OpenLogin();
  addin_.LogIn(dialog, "alice", "s3cret");
  EXPECT_THAT(addin_.ui.MessageTexts(), ElementsAre(kDefaultFailMessage));
  EXPECT_FALSE(addin_.settings.IsLoggedIn());
}

TEST_F(ServerFailureTest, SlowRepliesAreWaitedFor) {
  provider_.SetFault("page=UserValidation&kind=delay&ms=300&skip=1&count=1");
  provider_.SetFault("page=GetCreditDetails&kind=delay&ms=300&count=1");
  addin_.LogIn(addin_.OpenLogin(), "alice", "s3cret");
  addin_.Click("Credit Balance");
  EXPECT_THAT(addin_.ui.MessageTexts(),
              ElementsAre("Welcome alice! You are logged in.", "Available Credits: 250"));
}

}  // namespace
}  // namespace pelorin::service_test
