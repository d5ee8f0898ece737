#include "core/dialogs/packet_size_form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/fakes/test_addin.h"
#include "tests/support/fakes/test_menu.h"

namespace pelorin {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::TestAddin;
using testing::TestMenu;

TEST(PacketSizeValueTest, ConvertsWholeNumbersWithinThirtyTwoBits) {
  EXPECT_EQ(PacketSizeValue("500"), 500);
  EXPECT_EQ(PacketSizeValue(" 0700 "), 700);
  EXPECT_EQ(PacketSizeValue("2147483647"), 2147483647);
  EXPECT_EQ(PacketSizeValue("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(PacketSizeValue("+12"), 12);
}

TEST(PacketSizeValueTest, RefusesWhatIsNoNumberOrTooLarge) {
  for (const char* text : {"2147483648", "99999999999", "-2147483649"}) {
    EXPECT_THROW(PacketSizeValue(text), std::out_of_range) << text;
  }
  for (const char* text : {"", "   ", "abc", "12a", "1 2", "-", "1.5"}) {
    EXPECT_THROW(PacketSizeValue(text), std::invalid_argument) << text;
  }
}

class PacketSizeFormTest : public ::testing::Test {
 protected:
  void Open() {
    form = std::make_unique<frmPacketSize>(addin.context);
    form->Show();
  }
  std::string Stored() const { return addin.settings.strGetSetting(value_names::kPacketSize); }
  bool IsStored() const { return addin.backend.Contains(SettingsGroup::kSettings, value_names::kPacketSize); }

  TestAddin addin;
  TestMenu menu{addin};
  std::unique_ptr<frmPacketSize> form;
};

TEST_F(PacketSizeFormTest, LayoutFollowsTheDesign) {
  Open();
  EXPECT_EQ(form->caption(), "PacketSize Settings");
  EXPECT_EQ(form->client_width(), 4680);
  EXPECT_EQ(form->client_height(), 3090);
  EXPECT_EQ(form->control("lblCaption").text, "Packet Size Settings");
  EXPECT_EQ(form->control("lblPort").text, "Packet Size");
  EXPECT_EQ(form->control("btnAddPackSize").text, "Submit");
  EXPECT_EQ(form->control("btnPackCancel").tab_index, 4);
}

TEST_F(PacketSizeFormTest, LoadShowsTheStoredValue) {
  addin.settings.SavePacketSize("1500");
  Open();
  EXPECT_EQ(form->control("txtPacketSize").text, "1500");
}

struct SubmitCase {
  std::string text;
  std::string message;  // a part of the message box's text
  std::optional<std::string> stored;
  bool stays_open;
  std::string box_after;
};

TEST_F(PacketSizeFormTest, SubmitChecksAndStoresTheBoxText) {
  const std::string added = "Successfully Added Packet Size settings!!!";
  const std::string refused = "PacketSize should be greater than 500!!!";
  const std::vector<SubmitCase> cases = {
      {"500", added, "500", false, "500"},
      {"0700", added, "0700", false, "0700"},
      {" 800 ", added, " 800 ", false, " 800 "},
      {"2147483647", added, "2147483647", false, "2147483647"},
      {"499", refused, std::nullopt, true, ""},
      {"0", refused, std::nullopt, true, ""},
      {"99999999999", "Overflow", std::nullopt, true, "99999999999"},
      {"12a", "Type mismatch", std::nullopt, true, "12a"},
      {"", "If empty is specified, default Packet Size 1000 will be picked!!!", std::nullopt,
       false, ""},
  };
  for (const SubmitCase& c : cases) {
    SCOPED_TRACE("box \"" + c.text + "\"");
    addin.settings.RemovePacketSize();
    if (c.text.empty()) addin.settings.SavePacketSize("2000");
    addin.ui.messages.clear();
    addin.ui.cursor_changes.clear();
    menu.Button("Packet Size Settings").enabled = false;
    Open();
    form->SetText("txtPacketSize", c.text);
    form->Click("btnAddPackSize");
    ASSERT_EQ(addin.ui.messages.size(), 1u);
    EXPECT_THAT(addin.ui.messages[0].text, HasSubstr(c.message));
    EXPECT_EQ(addin.ui.messages[0].title, "Pelorin");
    EXPECT_EQ(IsStored(), c.stored.has_value());
    if (c.stored) {
      EXPECT_EQ(Stored(), *c.stored);
    }
    EXPECT_EQ(form->visible(), c.stays_open);
    EXPECT_EQ(form->control("txtPacketSize").text, c.box_after);
    EXPECT_THAT(addin.ui.cursor_changes, ElementsAre(true, false));
    EXPECT_EQ(menu.Button("Packet Size Settings").enabled, c.message == added);
  }
}

TEST_F(PacketSizeFormTest, ARefusedValueLeavesTheStoredOneInPlace) {
  addin.settings.SavePacketSize("1500");
  Open();
  form->SetText("txtPacketSize", "499");
  form->Click("btnAddPackSize");
  EXPECT_EQ(Stored(), "1500");
}

TEST_F(PacketSizeFormTest, KeyFiltersLetOnlyDigitsThrough) {
  Open();
  form->Type("txtPacketSize", "1a2.3 -4\b5");
  EXPECT_EQ(form->control("txtPacketSize").text, "1235");
  for (forms::KeyCode code : {forms::KeyCode{65}, forms::KeyCode{46}, forms::KeyCode{-1}}) {
    forms::KeyCode down = code, up = code;
    form->KeyDown("txtPacketSize", down);
    form->KeyUp("txtPacketSize", up);
    EXPECT_EQ(down, 0) << code;
    EXPECT_EQ(up, 0) << code;
  }
  forms::KeyCode digit = '7';
  form->KeyDown("txtPacketSize", digit);
  EXPECT_EQ(digit, '7');
}

TEST_F(PacketSizeFormTest, AStoreThatRefusesIsNotReportedAsSuccess) {
  addin.settings.SavePacketSize("2000");
  Open();
  addin.backend.fail_writes = true;
  form->SetText("txtPacketSize", "1500");
  form->Click("btnAddPackSize");
  form->SetText("txtPacketSize", "");
  form->Click("btnAddPackSize");
  ASSERT_EQ(addin.ui.messages.size(), 2u);
  EXPECT_THAT(addin.ui.messages[0].text, HasSubstr("could not be stored"));
  EXPECT_EQ(addin.ui.messages[1].text,
            "An Error Occured while Adding Packet Size Details. Please try again");
  EXPECT_EQ(Stored(), "2000");
  EXPECT_TRUE(form->visible());
  EXPECT_FALSE(addin.ui.busy);
}

TEST_F(PacketSizeFormTest, CancelStoresNothing) {
  Open();
  form->SetText("txtPacketSize", "1500");
  form->Click("btnPackCancel");
  EXPECT_FALSE(form->visible());
  EXPECT_FALSE(IsStored());
  EXPECT_TRUE(addin.ui.messages.empty());
}

}  // namespace
}  // namespace pelorin
