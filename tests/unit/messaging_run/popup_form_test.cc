#include "core/messaging/popup_form.h"

#include <gtest/gtest.h>

#include "core/messaging/status_report.h"
#include "tests/support/fakes/fake_user_interface.h"
#include "tests/unit/messaging_run/owner_form.h"

namespace pelorin {
namespace {

class PopupTest : public ::testing::Test {
 protected:
  PopupTest() { owner.Show(); }
  testing::FakeUserInterface ui;
  testing::OwnerForm owner{ui};
  frmPopup popup{ui, &owner};
};

TEST_F(PopupTest, HasTheStatusBoxAndTheCloseButton) {
  popup.Load();
  EXPECT_EQ(popup.caption(), "Status Window");
  EXPECT_EQ(popup.control("btnClose").text, "Close");
  EXPECT_EQ(popup.control("btnClose").kind, forms::ControlKind::kButton);
  const forms::Control& status = popup.control("txtStatus");
  EXPECT_EQ(status.kind, forms::ControlKind::kTextBox);
  EXPECT_TRUE(status.multiline);
  EXPECT_TRUE(status.vertical_scroll_bar);
}

TEST_F(PopupTest, OpeningHidesTheOwnerAndStartsEmptyWithCloseDisabled) {
  popup.Load();
  popup.control("txtStatus").text = "from an earlier run";
  popup.Open();
  EXPECT_FALSE(owner.visible());
  EXPECT_TRUE(popup.visible());
  EXPECT_FALSE(popup.close_enabled());
  EXPECT_EQ(popup.control("txtStatus").text, "");
  EXPECT_EQ(ui.events,
            (std::vector<std::string>{"shown frmSendSMS", "hidden frmSendSMS", "shown frmPopup"}));
}

TEST_F(PopupTest, ShowingStatusRepaintsWindowAndOwner) {
  popup.Open();
  popup.ShowStatus("line\r\n");
  EXPECT_EQ(popup.control("txtStatus").text, "line\r\n");
  EXPECT_EQ(ui.repaints, 2);
}

TEST_F(PopupTest, DisabledCloseIgnoresClicks) {
  popup.Open();
  popup.Click("btnClose");
  EXPECT_TRUE(popup.loaded());
}

TEST_F(PopupTest, CloseUnloadsTheWindowAndTheSendDialog) {
  popup.Open();
  std::string status = "Process started... (Range from 1 to 1)\r\n";
  ShowPacketResult(popup, status, {"Error : 0 - SUCCESS.", 1, 1, 0, "ALL"});
  ASSERT_TRUE(popup.close_enabled());
  popup.Click("btnClose");
  EXPECT_FALSE(popup.loaded());
  EXPECT_FALSE(owner.loaded());
  EXPECT_EQ(ui.events.back(), "unloaded frmSendSMS");
}

TEST_F(PopupTest, WindowCloseControlWorksWhileCloseIsDisabled) {
  popup.Open();
  forms::Form& window = popup;
  window.CloseWindow();
  EXPECT_FALSE(popup.loaded());
  EXPECT_FALSE(owner.loaded());
}

TEST_F(PopupTest, StatusAfterClosingDoesNotReopenTheWindow) {
  popup.Open();
  popup.CloseWindow();
  popup.ShowStatus("late text");
  popup.EnableClose();
  EXPECT_FALSE(popup.loaded());
}

TEST_F(PopupTest, StartPacketLeavesCloseDisabledAndFailureEnablesIt) {
  popup.Open();
  std::string status = "Process started... (Range from 1 to 2500)\r\n";
  ShowPacketResult(popup, status, {"Error : 0 - SUCCESS.", 1000, 2500, 0, "START"});
  EXPECT_FALSE(popup.close_enabled());
  EXPECT_EQ(popup.control("txtStatus").text,
            "Process started... (Range from 1 to 2500)\r\n"
            "Processed 1000 record(s) out of selected 2500\r\n");
  ShowPacketResult(popup, status, {"-1", 2000, 2500, 0, "START"});
  EXPECT_TRUE(popup.close_enabled());
  EXPECT_EQ(popup.control("txtStatus").text,
            "Process started... (Range from 1 to 2500)\r\n"
            "Processed 1000 record(s) out of selected 2500\r\n-1!!!\r\n");
}

TEST(PopupWithoutOwner, ClosesAlone) {
  testing::FakeUserInterface ui;
  frmPopup popup(ui);
  popup.Open();
  popup.CloseWindow();
  EXPECT_FALSE(popup.loaded());
}

}  // namespace
}  // namespace pelorin
