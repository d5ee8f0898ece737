// The Pelorin menu: its commands as built and removed, and what each click does.
#include "core/addin/excel_controls.h"

#include <gmock/gmock.h>

#include <algorithm>

#include "core/settings/value_names.h"
#include "tests/unit/addin/addin_fixture.h"

namespace pelorin::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

class MenuTest : public AddinFixture {
 protected:
  void SetUp() override { ConnectToHost(); }
};

TEST_F(MenuTest, BuildsTheNineCommandsInOrder) {
  struct Expected {
    const char* caption;
    bool visible;
    bool enabled;
  };
  const Expected expected[] = {
      {"Login", true, true},           {"Send Text Message", true, true},
      {"Credit Balance", true, true},  {"Proxy Settings", true, true},
      {"Packet Size Settings", true, true}, {"Contact Us", true, true},
      {"Help", true, true},            {"User Demo", false, true},
      {"Logout", true, false},
  };
  EXPECT_EQ(Menu().caption, "Pelorin");
  auto buttons = Menu().LiveButtons();
  ASSERT_EQ(buttons.size(), std::size(expected));
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    SCOPED_TRACE(expected[i].caption);
    EXPECT_EQ(buttons[i]->caption, expected[i].caption);
    EXPECT_EQ(buttons[i]->tooltip, expected[i].caption);
    EXPECT_EQ(buttons[i]->visible, expected[i].visible);
    EXPECT_EQ(buttons[i]->enabled, expected[i].enabled);
    EXPECT_TRUE(buttons[i]->on_click) << "every command, the hidden one too, is wired";
  }
}

TEST_F(MenuTest, TheMembersAreTheButtonsOfTheMenu) {
  CExcelControls& controls = *connect.excel_controls();
  EXPECT_EQ(controls.MenuLogin(), &Button("Login"));
  EXPECT_EQ(controls.MenuSendSMS(), &Button("Send Text Message"));
  EXPECT_EQ(controls.MenuCreditBalance(), &Button("Credit Balance"));
  EXPECT_EQ(controls.MenuProxy(), &Button("Proxy Settings"));
  EXPECT_EQ(controls.MenuPacketSize(), &Button("Packet Size Settings"));
  EXPECT_EQ(controls.MenuContact(), &Button("Contact Us"));
  EXPECT_EQ(controls.MenuHelp(), &Button("Help"));
  EXPECT_EQ(controls.MenuUserDemo(), &Button("User Demo"));
  EXPECT_EQ(controls.MenuLogout(), &Button("Logout"));
}

TEST_F(MenuTest, RemovingDeletesTheButtonsAndDetachesTheirClicks) {
  connect.excel_controls()->RemoveMenus();
  EXPECT_FALSE(Menu().deleted);
  EXPECT_THAT(Menu().LiveButtons(), IsEmpty());
  for (const auto& button : Menu().buttons) EXPECT_FALSE(button->on_click) << button->caption;
  EXPECT_EQ(connect.excel_controls()->MenuLogin(), nullptr);
}

TEST_F(MenuTest, LoginOpensAFreshDialogEachClick) {
  Click("Login");
  forms::Form* first = addin.ui.last_shown;
  Click("Login");
  EXPECT_THAT(Shown(), ElementsAre("frmLogin", "frmLogin"));
  EXPECT_NE(addin.ui.last_shown, first);
}

TEST_F(MenuTest, SendWhileLoggedOutOpensTheLoginDialogAndKeepsIt) {
  Click("Send Text Message");
  EXPECT_THAT(Shown(), ElementsAre("frmLogin"));
  EXPECT_EQ(CreditRequests(), 0);
  forms::Form* kept = addin.ui.last_shown;

  // The next command reuses the same CGlobal and so the same login dialog.
  Click("Login");
  EXPECT_EQ(addin.ui.last_shown, kept);
  // After that the CGlobal is gone: a fresh dialog again.
  Click("Login");
  EXPECT_NE(addin.ui.last_shown, kept);
}

TEST_F(MenuTest, SendChecksTheCreditFirstAndOnlyAnExactZeroStopsIt) {
  struct Case {
    const char* reply;
    bool fails;
    bool opens;
  };
  const Case cases[] = {
      {"0", false, false},    {"120", false, true}, {"00", false, true}, {" 0", false, true},
      {"0\r\n", false, true}, {"", false, true},    {"-5", false, true}, {"", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("reply \"") + c.reply + "\"" + (c.fails ? " (transport failure)" : ""));
    TestAddin host;
    host.LogIn("demo");
    host.transport.responder = [&c](const HttpRequest& request) -> std::string {
      if (request.url.find("GetCreditDetails") == std::string::npos || c.fails) {
        throw TransportError("unreachable");
      }
      return c.reply;
    };
    Connect connection(host.context);
    connection.OnConnection(host.application, ConnectMode::kStartup, nullptr);
    host.application.PelorinPopup()->Find("Send Text Message")->Click();

    ASSERT_FALSE(host.transport.requests.empty());
    EXPECT_THAT(host.transport.requests[0].url, ::testing::HasSubstr("GetCreditDetails"));
    bool opened = std::find(host.ui.events.begin(), host.ui.events.end(), "shown frmSendSMS") !=
                  host.ui.events.end();
    EXPECT_EQ(opened, c.opens);
    if (c.opens) {
      EXPECT_THAT(host.ui.MessageTexts(), Not(Contains("You have Insufficient Credits")));
    } else {
      ASSERT_EQ(host.ui.messages.size(), 1u);
      EXPECT_EQ(host.ui.messages[0].text, "You have Insufficient Credits");
      EXPECT_EQ(host.ui.messages[0].style, 0);
      EXPECT_EQ(host.ui.messages[0].title, "Pelorin");
      EXPECT_THAT(host.ui.events, IsEmpty());
    }
  }
}

TEST_F(MenuTest, EachSendOpensAFreshSendDialog) {
  addin.LogIn("demo");
  Click("Send Text Message");
  forms::Form* first = addin.ui.last_shown;
  Click("Send Text Message");
  EXPECT_EQ(CreditRequests(), 2);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->name(), "frmSendSMS");
  EXPECT_NE(addin.ui.last_shown, first);
}

TEST_F(MenuTest, CreditBalanceWhileLoggedOutOpensTheLoginDialogWithoutAQuery) {
  Click("Credit Balance");
  EXPECT_THAT(Shown(), ElementsAre("frmLogin"));
  EXPECT_EQ(CreditRequests(), 0);
  EXPECT_THAT(addin.ui.MessageTexts(), Not(Contains(::testing::StartsWith("Available Credits"))));
}

TEST_F(MenuTest, CreditBalanceShowsTheReply) {
  addin.LogIn("demo");
  credit_reply = "0";
  Click("Credit Balance");
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("Available Credits: 0"));
  EXPECT_THAT(addin.ui.events, IsEmpty());
}

TEST_F(MenuTest, SettingsCommandsOpenTheirDialogs) {
  Click("Proxy Settings");
  Click("Packet Size Settings");
  Click("Packet Size Settings");
  EXPECT_THAT(Shown(), ElementsAre("frmProxySettings", "frmPacketSize", "frmPacketSize"));
  EXPECT_THAT(addin.transport.requests, IsEmpty());
}

TEST_F(MenuTest, WebCommandsOpenTheirAddressesWithoutALoginCheck) {
  Click("Contact Us");
  Click("Help");
  Click("Help");
  Click("User Demo");
  EXPECT_THAT(addin.browser.shell_opened, ElementsAre("mailto:support@pelorin.example"));
  EXPECT_THAT(addin.browser.opened,
              ElementsAre("http://www.pelorin.example/excel_plugin.html",
                          "http://www.pelorin.example/excel_plugin.html", "http://www.pelorin.example"));
  EXPECT_THAT(addin.ui.messages, IsEmpty());
}

TEST_F(MenuTest, AMailLinkTheShellRefusesIsReported) {
  addin.browser.fail = true;
  Click("Contact Us");
  Click("Help");
  Click("User Demo");
  ASSERT_EQ(addin.ui.messages.size(), 1u) << "a browser that cannot start is quiet";
  EXPECT_EQ(addin.ui.messages[0].text, "Error occured while opening the page!!");
  EXPECT_EQ(addin.ui.messages[0].style, 0);
}

TEST_F(MenuTest, LogoutForgetsTheLoginAndSwitchesTheMenu) {
  addin.LogIn("demo");
  addin.settings.SaveDNDStatus("3");
  Button("Login").enabled = false;
  Button("Logout").enabled = true;

  Click("Logout");

  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("Logged out Successfully!!!"));
  EXPECT_EQ(addin.ui.messages[0].style, 0);
  EXPECT_TRUE(Button("Login").enabled);
  EXPECT_FALSE(Button("Logout").enabled);
  EXPECT_FALSE(addin.settings.IsLoggedIn());
  EXPECT_EQ(addin.settings.strGetSetting(value_names::kDndStatus), "3");
  EXPECT_THAT(addin.transport.requests, IsEmpty());

  Click("Send Text Message");
  EXPECT_THAT(Shown(), ElementsAre("frmLogin"));
}

TEST_F(MenuTest, AFailedLogoutChangesNothingVisible) {
  addin.LogIn("demo");
  Button("Login").enabled = false;
  Button("Logout").enabled = true;
  addin.backend.fail_writes = true;

  Click("Logout");

  EXPECT_THAT(addin.ui.messages, IsEmpty());
  EXPECT_FALSE(Button("Login").enabled);
  EXPECT_TRUE(Button("Logout").enabled);
  EXPECT_TRUE(addin.settings.IsLoggedIn());
}

}  // namespace
}  // namespace pelorin::testing
