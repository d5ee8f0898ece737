// Requests through a real HTTP proxy, set through the proxy dialog or the
// store, and straight to the service when the proxy is only half set.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "compose_url.h"
#include "core/addin/credit_query.h"
#include "core/dialogs/proxy_form.h"
#include "core/login/login_form.h"
#include "core/settings/value_names.h"
#include "tests/support/logging_proxy.h"
#include "posix_addin.h"
#include "provider_process.h"
#include "temp_folder.h"

namespace pelorin::service_test {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;
using testing::LoggingProxy;
using testing::ProviderProcess;
using testing::UnusedLoopbackPort;

class ProxyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::optional<std::string> program = LoggingProxy::InstalledProgram();
    if (!program) GTEST_SKIP() << "tinyproxy is not installed";
    proxy_ = std::make_unique<LoggingProxy>(*program, proxy_folder_.path());
    addin_.UseService(provider_.host_port());
  }

  // The start of the request line the proxy logs for a service page.
  std::string ForwardedPage(const std::string& page) const {
    return "POST http://" + provider_.host_port() + "/PelorinExcelplugin02022012/" + page +
           ".aspx?";
  }
  std::string ProxyPort() const { return std::to_string(proxy_->port()); }

  // Fills the proxy dialog the way a user types and clicks Add.
  void AddProxyThroughDialog(const std::vector<std::string>& octets, const std::string& port) {
    frmProxySettings& dialog = addin_.OpenProxySettings();
    for (size_t i = 0; i < octets.size(); ++i) {
      dialog.Type("txtProxyIp" + std::to_string(i + 1), octets[i]);
    }
    dialog.Type("txtPort", port);
    dialog.Click("btnAddProxy");
  }

  ProviderProcess provider_{{{"alice", "s3cret", 250, "3", "PELRIN", "code-list", false}}};
  TempFolder proxy_folder_;
  TempFolder settings_folder_;
  PosixAddin addin_{settings_folder_.path()};
  std::unique_ptr<LoggingProxy> proxy_;
};

TEST_F(ProxyTest, ProxyAddedInTheDialogCarriesEveryExchange) {
  AddProxyThroughDialog({"127", "0", "0", "1"}, ProxyPort());
  ASSERT_THAT(addin_.ui.MessageTexts(), ElementsAre("Successfully Added Proxy settings!!!"));
  EXPECT_EQ(addin_.settings.strGetSetting(value_names::kProxyAddress), "127.0.0.1");
  EXPECT_EQ(addin_.settings.strGetSetting(value_names::kProxyPort), ProxyPort());
  addin_.ui.messages.clear();

  frmLogin& login = addin_.OpenLogin();
  addin_.LogIn(login, "alice", "s3cret");
  addin_.Click("Credit Balance");
  std::string upload = addin_.service.strHttpPostForm(
      ComposeUrl(provider_.host_port(), "alice", "ALL", "alice_proxy"), "9800000001|*^hi~?*", "",
      "N");

  EXPECT_THAT(addin_.ui.MessageTexts(),
              ElementsAre("Welcome alice! You are logged in.", "Available Credits: 250"));
  EXPECT_EQ(upload, "Error : 0 - SUCCESS.");
  EXPECT_THAT(proxy_->RequestLines(),
              ElementsAre(AllOf(StartsWith(ForwardedPage("UserValidation")),
                                HasSubstr("type=loading")),
                          AllOf(StartsWith(ForwardedPage("UserValidation")),
                                HasSubstr("uid=alice&pwd=s3cret"), Not(HasSubstr("type="))),
                          StartsWith(ForwardedPage("GetCreditDetails") + "uid=alice&ticks="),
                          StartsWith(ForwardedPage("Compose") + "uid=alice&")));
  EXPECT_THAT(provider_.RunsJson("alice"), HasSubstr("\"filename\":\"alice_proxy\""));
}

TEST_F(ProxyTest, HalfAProxyMeansRequestsGoStraightToTheService) {
  struct Case {
    const char* name;
    std::string address, port;
    bool through_proxy;
  } cases[] = {
      {"address only", "127.0.0.1", "", false},
      {"port only", "", ProxyPort(), false},
      {"neither", "", "", false},
      {"both", "127.0.0.1", ProxyPort(), true},
  };
  addin_.settings.SaveLoginDetails("alice");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    addin_.settings.SaveProxy(c.address, c.port);
    const size_t before = proxy_->RequestLines().size();
    EXPECT_EQ(CreditQuery(addin_.context).Run(), "250");
    EXPECT_EQ(proxy_->RequestLines().size(), before + (c.through_proxy ? 1 : 0));
  }
}

TEST_F(ProxyTest, RemovedInTheDialogTheNextRequestGoesDirect) {
  AddProxyThroughDialog({"127", "0", "0", "1"}, ProxyPort());
  addin_.settings.SaveLoginDetails("alice");
  CreditQuery credit(addin_.context);
  ASSERT_EQ(credit.Run(), "250");
  ASSERT_EQ(proxy_->RequestLines().size(), 1u);

  frmProxySettings& dialog = addin_.OpenProxySettings();
  EXPECT_EQ(dialog.control("txtPort").text, ProxyPort());
  dialog.Click("btnRemoveProxy");
  EXPECT_EQ(addin_.ui.MessageTexts().back(), "Successfully Removed Proxy settings!!!");
  EXPECT_EQ(credit.Run(), "250");
  EXPECT_EQ(proxy_->RequestLines().size(), 1u);
}

TEST_F(ProxyTest, ProxyFailuresReachTheCallers) {
  addin_.settings.SaveLoginDetails("alice");
  // A stored proxy that nobody runs: no response at all.
  addin_.settings.SaveProxy("127.0.0.1", std::to_string(UnusedLoopbackPort()));
  EXPECT_EQ(CreditQuery(addin_.context).Run(), "ERROR");

  // A running proxy whose service is down answers with its own error page,
  // which is the reply like any other body.
  addin_.settings.SaveProxy("127.0.0.1", ProxyPort());
  provider_.StopServer();
  addin_.Click("Credit Balance");
  ASSERT_EQ(addin_.ui.messages.size(), 1u);
  EXPECT_THAT(addin_.ui.messages[0].text,
              AllOf(StartsWith("Available Credits: "), HasSubstr("tinyproxy"),
                    Not(HasSubstr("ERROR"))));
  EXPECT_THAT(proxy_->RequestLines(),
              ElementsAre(StartsWith(ForwardedPage("GetCreditDetails"))));
}

// The dialog stores octets and port as typed; a proxy the transport cannot
// use fails the request instead of sending it past the proxy.
TEST_F(ProxyTest, UnusableProxyFailsRatherThanGoingDirect) {
  struct Case {
    std::string address, port;
  } cases[] = {
      // Only loopback and numeric texts, so that no name is looked up.
      {"127.0.0.1", "abcd"},
      {"127.0.0.1", "0"},
      {"127.0.0.1", "-1"},
      {"127.0.0.1", " 80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address + ":" + c.port);
    addin_.settings.SaveProxy(c.address, c.port);
    addin_.ui.messages.clear();
    EXPECT_EQ(addin_.service.strHttpPostForm(
                  ComposeUrl(provider_.host_port(), "alice", "ALL", "alice_unusable"),
                  "9800000001|*^hi~?*", "", "N"),
              "ERROR");
    EXPECT_EQ(addin_.ui.messages.size(), 1u);
  }
  EXPECT_EQ(provider_.RunsJson("alice"), "[]");
  EXPECT_THAT(proxy_->RequestLines(), IsEmpty());
}

}  // namespace
}  // namespace pelorin::service_test
