// The two request operations: what goes on the wire, the proxy rule, and
// how a failure is answered.
#include "core/service/service_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/service/service_pages.h"
#include "core/settings/value_names.h"
#include "tests/support/fakes/test_addin.h"

namespace pelorin {
namespace {

using testing::FakeTransport;
using testing::TestAddin;

class ServiceClientTest : public ::testing::Test {
 protected:
  void StoreProxy(const char* address, const char* port) {
    addin_.backend.Set(SettingsGroup::kSettings, value_names::kProxyAddress, address);
    addin_.backend.Set(SettingsGroup::kSettings, value_names::kProxyPort, port);
  }
  const HttpRequest& LastRequest() const { return addin_.transport.requests.back(); }

  TestAddin addin_;
};

TEST_F(ServiceClientTest, PostSendsTheUrlAsGivenWithNoBody) {
  addin_.transport.replies = {"<html>500 page</html>"};
  const std::string url = "http://h/x.aspx?uid=a%26b&v=!V!";
  EXPECT_EQ(addin_.service.strHttpPost(url), "<html>500 page</html>");
  EXPECT_EQ(LastRequest().url, url);
  EXPECT_EQ(LastRequest().body, "");
  EXPECT_FALSE(LastRequest().content_type.has_value());
  EXPECT_FALSE(LastRequest().timeout.has_value());
}

TEST_F(ServiceClientTest, PostFormEncodesOnlyTheFirstField) {
  addin_.transport.replies = {"Error : 0 - SUCCESS."};
  EXPECT_EQ(addin_.service.strHttpPostForm("http://h/Compose.aspx", "9198|*^Hi all~?*",
                                           "2027-March-07|10|30|10|30", "Y"),
            "Error : 0 - SUCCESS.");
  EXPECT_EQ(LastRequest().content_type, "application/x-www-form-urlencoded");
  EXPECT_EQ(LastRequest().body,
            "variable1=9198%7C%2A%5EHi+all%7E%3F%2A&variable2=2027-March-07|10|30|10|30"
            "&variable3=Y");
  ASSERT_TRUE(LastRequest().timeout.has_value());
  EXPECT_EQ(LastRequest().timeout->count(), 1000000);
}

TEST_F(ServiceClientTest, ProxyIsUsedOnlyWhenAddressAndPortAreBothStored) {
  struct Case {
    const char* address;
    const char* port;
    bool used;
  } cases[] = {
      {"10.0.0.1", "8080", true},
      {"10.0.0.1", "", false},
      {"", "8080", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    StoreProxy(c.address, c.port);
    addin_.transport.replies = {"1", "2"};
    addin_.service.strHttpPost("http://h/a");
    EXPECT_EQ(LastRequest().proxy.has_value(), c.used) << c.address << ":" << c.port;
    addin_.service.strHttpPostForm("http://h/b", "x", "", "N");
    ASSERT_EQ(LastRequest().proxy.has_value(), c.used) << c.address << ":" << c.port;
    if (c.used) {
      EXPECT_EQ(LastRequest().proxy->address, "10.0.0.1");
      EXPECT_EQ(LastRequest().proxy->port, "8080");
    }
  }
}

TEST_F(ServiceClientTest, FailuresAnswerErrorAndOnlyTheFormTellsTheUser) {
  addin_.transport.replies = {FakeTransport::kFail, FakeTransport::kFail};
  EXPECT_EQ(addin_.service.strHttpPost("http://h/a"), "ERROR");
  EXPECT_TRUE(addin_.ui.messages.empty());
  EXPECT_EQ(addin_.service.strHttpPostForm("http://h/b", "x", "", "N"), "ERROR");
  ASSERT_EQ(addin_.ui.messages.size(), 1u);
  EXPECT_EQ(addin_.ui.messages[0].text, "The server name or address could not be resolved");
  EXPECT_EQ(addin_.ui.messages[0].title, "Pelorin");
}

TEST(ServicePagesTest, EveryPageHangsOffTheOneHost) {
  EXPECT_EQ(service_pages::Url("127.0.0.1:8080", service_pages::kHelpPage),
            "http://127.0.0.1:8080/excel_plugin.html");
  EXPECT_EQ(service_pages::Url("www.pelorin.example", service_pages::kHomePage),
            "http://www.pelorin.example");
}

}  // namespace
}  // namespace pelorin
