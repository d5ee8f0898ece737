// Connecting to the host, the login state it restores, and disconnecting.
#include "core/addin/connect.h"

#include <gmock/gmock.h>

#include "core/addin/excel_events.h"
#include "tests/unit/addin/addin_fixture.h"

namespace pelorin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ConnectTest = AddinFixture;

TEST_F(ConnectTest, KeepsTheHostAndBuildsTheMenu) {
  ConnectToHost();

  EXPECT_EQ(addin.context.application, &addin.application);
  ASSERT_NE(connect.excel_controls(), nullptr);
  EXPECT_EQ(addin.context.controls, connect.excel_controls());
  ASSERT_NE(connect.excel_events(), nullptr);
  EXPECT_EQ(connect.excel_events()->pExcelApp(), &addin.application);
  EXPECT_TRUE(connect.holds_add_in_instance());
  ASSERT_EQ(addin.application.menu_bar.popups.size(), 1u);
  EXPECT_EQ(Menu().caption, "Pelorin");
  EXPECT_EQ(Menu().LiveButtons().size(), 9u);
}

TEST_F(ConnectTest, LoginStateFollowsTheStoredSession) {
  struct Case {
    bool stored_session;
    bool login_enabled;
    bool logout_enabled;
  };
  for (Case c : {Case{false, true, false}, Case{true, false, true}}) {
    SCOPED_TRACE(c.stored_session ? "stored session" : "nobody logged in");
    TestAddin host;
    if (c.stored_session) host.LogIn("demo");
    Connect connection(host.context);
    connection.OnConnection(host.application, ConnectMode::kStartup, nullptr);

    FakePopup& menu = *host.application.PelorinPopup();
    EXPECT_EQ(menu.Find("Login")->enabled, c.login_enabled);
    EXPECT_EQ(menu.Find("Logout")->enabled, c.logout_enabled);
    EXPECT_THAT(host.ui.events, IsEmpty()) << "no dialog at start-up";
    EXPECT_THAT(host.ui.messages, IsEmpty());
  }
}

TEST_F(ConnectTest, DisconnectingRemovesTheCommandsAndLeavesThePopupEmpty) {
  ConnectToHost();
  connect.OnDisconnection(RemoveMode::kHostShutdown);

  ASSERT_EQ(addin.application.menu_bar.popups.size(), 1u);
  EXPECT_FALSE(Menu().deleted);
  EXPECT_THAT(Menu().LiveButtons(), IsEmpty());
  EXPECT_EQ(Menu().buttons.size(), 9u);
  EXPECT_EQ(connect.excel_controls(), nullptr);
  EXPECT_EQ(connect.excel_events(), nullptr);
  EXPECT_EQ(addin.context.controls, nullptr);
  EXPECT_EQ(addin.context.application, nullptr);
  EXPECT_FALSE(connect.holds_add_in_instance());
  EXPECT_EQ(instance.use_count(), 1) << "the host's add-in instance is released";
}

TEST_F(ConnectTest, ExitQuestionDecidesWhetherTheLoginSurvives) {
  struct Case {
    int answer;
    bool still_logged_in;
  };
  for (Case c : {Case{message_box::kAnswerYes, false}, Case{message_box::kAnswerNo, true}}) {
    SCOPED_TRACE(c.answer);
    TestAddin host;
    host.LogIn("demo");
    host.ui.answers = {c.answer};
    Connect connection(host.context);
    connection.OnConnection(host.application, ConnectMode::kStartup, nullptr);
    connection.OnDisconnection(RemoveMode::kUserClosed);

    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Are you sure you want to exit from Pelorin Excel Plug-in??");
    EXPECT_EQ(host.ui.messages[0].style, 36);
    EXPECT_EQ(host.ui.messages[0].title, "Pelorin");
    EXPECT_EQ(host.settings.IsLoggedIn(), c.still_logged_in);
    EXPECT_THAT(host.application.PelorinPopup()->LiveButtons(), IsEmpty())
        << "the menu is gone whatever the answer";

    // The next start comes up in the state the answer left.
    Connect next(host.context);
    next.OnConnection(host.application, ConnectMode::kStartup, nullptr);
    EXPECT_EQ(host.application.PelorinPopup()->Find("Logout")->enabled, c.still_logged_in);
  }
}

TEST_F(ConnectTest, DisconnectingWhileLoggedOutAsksNothing) {
  ConnectToHost();
  connect.OnDisconnection(RemoveMode::kHostShutdown);
  EXPECT_THAT(addin.ui.messages, IsEmpty());
}

TEST_F(ConnectTest, AHostThatIsNotASpreadsheetGetsNoMenuAndNoQuestion) {
  addin.LogIn("demo");
  addin.application.is_spreadsheet_host = false;
  ConnectToHost();

  EXPECT_THAT(addin.application.menu_bar.popups, IsEmpty());
  EXPECT_EQ(addin.context.application, nullptr);
  EXPECT_EQ(addin.context.controls, nullptr);
  EXPECT_TRUE(connect.holds_add_in_instance());

  connect.OnDisconnection(RemoveMode::kHostShutdown);
  EXPECT_THAT(addin.ui.messages, IsEmpty());
  EXPECT_TRUE(addin.settings.IsLoggedIn());
  EXPECT_FALSE(connect.holds_add_in_instance());
}

TEST_F(ConnectTest, TheOtherThreeOperationsChangeNothing) {
  addin.LogIn("demo");
  ConnectToHost();
  connect.OnAddInsUpdate();
  connect.OnStartupComplete();
  connect.OnBeginShutdown();

  EXPECT_EQ(addin.application.menu_bar.popups.size(), 1u);
  EXPECT_EQ(Menu().LiveButtons().size(), 9u);
  EXPECT_FALSE(Button("Login").enabled);
  EXPECT_TRUE(Button("Logout").enabled);
  EXPECT_TRUE(addin.settings.IsLoggedIn());
  EXPECT_THAT(addin.ui.messages, IsEmpty());
  EXPECT_THAT(addin.ui.events, IsEmpty());
  EXPECT_THAT(addin.transport.requests, IsEmpty());
}

TEST_F(ConnectTest, AMissingMenuBarFailsTheConnectionAndKeepsWhatCameBefore) {
  addin.LogIn("demo");
  addin.application.has_menu_bar = false;
  EXPECT_THROW(ConnectToHost(), std::runtime_error);

  EXPECT_TRUE(connect.holds_add_in_instance());
  EXPECT_EQ(addin.context.application, &addin.application);
  EXPECT_NE(connect.excel_events(), nullptr);
  EXPECT_NE(connect.excel_controls(), nullptr);

  // The disconnection still tears down and asks its question.
  EXPECT_NO_THROW(connect.OnDisconnection(RemoveMode::kHostShutdown));
  EXPECT_THAT(addin.ui.MessageTexts(),
              ElementsAre("Are you sure you want to exit from Pelorin Excel Plug-in??"));
  EXPECT_FALSE(connect.holds_add_in_instance());
}

TEST_F(ConnectTest, EachConnectionAddsItsOwnPopup) {
  ConnectToHost();
  connect.OnDisconnection(RemoveMode::kUserClosed);
  ConnectToHost();

  ASSERT_EQ(addin.application.menu_bar.popups.size(), 2u);
  EXPECT_THAT(addin.application.menu_bar.popups[0]->LiveButtons(), IsEmpty());
  EXPECT_EQ(addin.application.menu_bar.popups[1]->LiveButtons().size(), 9u);
}

TEST_F(ConnectTest, AConnectionDroppedWithoutDisconnectingLeavesNoLiveClicks) {
  TestAddin host;
  {
    Connect connection(host.context);
    connection.OnConnection(host.application, ConnectMode::kStartup, nullptr);
  }
  FakePopup& menu = *host.application.PelorinPopup();
  ASSERT_EQ(menu.LiveButtons().size(), 9u);
  for (const auto& button : menu.buttons) EXPECT_FALSE(button->on_click) << button->caption;
  EXPECT_EQ(host.context.controls, nullptr);
  EXPECT_EQ(host.context.application, nullptr);
}

TEST_F(ConnectTest, DisconnectingUnloadsTheDialogsStillOpen) {
  ConnectToHost();
  Click("Login");
  Click("Packet Size Settings");
  connect.OnDisconnection(RemoveMode::kHostShutdown);

  EXPECT_THAT(addin.ui.events, ::testing::Contains("unloaded frmLogin"));
  EXPECT_THAT(addin.ui.events, ::testing::Contains("unloaded frmPacketSize"));
}

}  // namespace
}  // namespace pelorin::testing
