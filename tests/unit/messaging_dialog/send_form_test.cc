#include "core/messaging/send_form.h"

#include <algorithm>
#include <set>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/messaging_dialog/send_dialog_fixture.h"

namespace pelorin::testing {
namespace {

using forms::ControlKind;
using ::testing::ElementsAre;

// --- The designed controls -----------------------------------------------

struct ControlCase {
  const char* name;
  ControlKind kind;
  const char* text;
  forms::Rect rect;
  int tab;
};

class SendFormControlTest : public SendDialogTest, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(SendFormControlTest, HasItsDesignedKindCaptionPlaceAndTab) {
  const ControlCase& c = GetParam();
  const forms::Control& control = C(c.name);
  EXPECT_EQ(control.kind, c.kind);
  EXPECT_EQ(control.text, c.text);
  EXPECT_EQ(control.rect.left, c.rect.left);
  EXPECT_EQ(control.rect.top, c.rect.top);
  EXPECT_EQ(control.rect.width, c.rect.width);
  EXPECT_EQ(control.rect.height, c.rect.height);
  EXPECT_EQ(control.tab_index, c.tab);
}

INSTANTIATE_TEST_SUITE_P(
    SpotChecks, SendFormControlTest,
    ::testing::Values(
        ControlCase{"btnSend", ControlKind::kButton, "Send SMS", {6480, 6720, 1215, 285}, 16},
        ControlCase{"btnPreview", ControlKind::kButton, "Preview", {360, 6720, 1095, 285}, 15},
        ControlCase{"btnAddCell", ControlKind::kButton, "Add Cell", {7680, 2160, 1095, 285}, 33},
        ControlCase{"ddlSenderID", ControlKind::kDropDownList, "", {1920, 360, 1815, 315}, 0},
        ControlCase{"txtMessage", ControlKind::kTextBox, "", {1920, 840, 5655, 1575}, 1},
        ControlCase{"chkFlash", ControlKind::kCheckBox, "Flash Message", {1920, 2520, 1935, 255}, 2},
        ControlCase{"optMultiRange", ControlKind::kOptionButton, "Multiple Range", {360, 4320, 1815, 375}, 6},
        ControlCase{"lstCells", ControlKind::kListBox, "", {7680, 840, 1095, 1230}, 20},
        ControlCase{"lblMobileNo", ControlKind::kLabel, "Mobile Number Column", {480, 5040, 2415, 255}, 21},
        ControlCase{"lblDNDfilter", ControlKind::kLabel, "DND Filter :", {3840, 360, 1215, 255}, 37},
        ControlCase{"lblWIDTH", ControlKind::kLabel, "Label1", {2280, 6600, 1335, 375}, 34},
        ControlCase{"lblSenderID", ControlKind::kLabel, "From :", {480, 360, 1215, 255}, 28},
        ControlCase{"lblSendBetween", ControlKind::kLabel, "Send at", {6120, 6000, 855, 255}, 26},
        ControlCase{"lblMessageEg", ControlKind::kLabel, "(Eg: Dear |C|, Here |C| is the value of column C)",
                    {1920, 2880, 5055, 255}, 30},
        ControlCase{"lblRangeEg", ControlKind::kLabel, "(Eg: 3-9,35-71)", {4800, 4320, 3975, 255}, 29},
        ControlCase{"lFourth", ControlKind::kLine, "", {360, 6480, 8425, 0}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendDialogTest, TheDialogIsSizedAndCaptioned) {
  EXPECT_EQ(form.caption(), "Send Text Message");
  EXPECT_EQ(form.client_width(), 8970);
  EXPECT_EQ(form.client_height(), 7200);
}

TEST_F(SendDialogTest, TabOrderHasNoGapsOrRepeats) {
  Open();
  std::vector<int> tabs;
  for (const auto& control : form.controls()) {
    if (control->kind != ControlKind::kLine) tabs.push_back(control->tab_index);
  }
  std::sort(tabs.begin(), tabs.end());
  ASSERT_EQ(tabs.size(), 38u);
  for (int i = 0; i < 38; ++i) EXPECT_EQ(tabs[i], i);
}

TEST_F(SendDialogTest, BoxesLimitTheirLength) {
  EXPECT_EQ(C("txtStartRow").max_length, 7);
  EXPECT_EQ(C("txtEndRow").max_length, 7);
  EXPECT_EQ(C("txtMultiRange").max_length, 100);
  EXPECT_EQ(C("txtMessage").max_length, 0);
  EXPECT_TRUE(C("txtMessage").multiline);
  EXPECT_TRUE(C("txtMessage").vertical_scroll_bar);
}

TEST_F(SendDialogTest, FontsAndColoursFollowTheControlKinds) {
  const forms::Control& label = C("lblTextMsg");
  EXPECT_EQ(label.font.name, "Verdana");
  EXPECT_DOUBLE_EQ(label.font.size_pt, 8.25);
  EXPECT_TRUE(label.font.bold);
  EXPECT_EQ(label.fore_color, forms::kNavy);
  EXPECT_EQ(label.back_color, forms::kDialogGrey);
  EXPECT_EQ(C("optSimpleRange").fore_color, forms::kNavy);
  EXPECT_EQ(C("ddlMCol").back_color, forms::kWhite);
  EXPECT_EQ(C("lstCells").back_color, forms::kWhite);
  EXPECT_FALSE(C("txtCount").font.bold);
  const forms::Control& example = C("lblSRowEg");
  EXPECT_FALSE(example.font.bold);
  EXPECT_TRUE(example.font.italic);
  EXPECT_EQ(example.fore_color, forms::kBlack);
  EXPECT_EQ(C("lSecond").fore_color, forms::kLineGrey);
  EXPECT_EQ(C("lblDNDfilter").alignment, forms::Alignment::kRight);
}

TEST_F(SendDialogTest, LoadsWithItsStartingState) {
  Open();
  EXPECT_EQ(C("txtCount").text, "0");
  EXPECT_FALSE(C("txtCount").enabled);
  EXPECT_TRUE(C("optSimpleRange").checked);
  EXPECT_FALSE(C("optMultiRange").checked);
  EXPECT_FALSE(C("txtMultiRange").enabled);
  EXPECT_TRUE(C("txtStartRow").enabled);
  EXPECT_FALSE(C("chkSendLater").checked);
  EXPECT_FALSE(C("chkFlash").checked);
  for (const char* never : {"ddlEHH", "ddlEMM", "lblTo", "lblWIDTH"}) EXPECT_FALSE(C(never).visible) << never;
  for (const char* field : {"lblSendDate", "ddlDay", "ddlMonth", "ddlYear", "lblSendBetween", "ddlSHH",
                            "ddlSMM", "lFourth"}) {
    EXPECT_FALSE(C(field).visible) << field;
  }
  EXPECT_TRUE(C("lThird").visible);
  EXPECT_FALSE(addin.ui.busy);
}

// --- Lists ---------------------------------------------------------------

TEST_F(SendDialogTest, ColumnListsHoldAToIV) {
  Open();
  for (const char* name : {"lstCells", "ddlMCol"}) {
    const forms::Control& list = C(name);
    ASSERT_EQ(list.items.size(), 256u);
    EXPECT_EQ(list.items[0], "A");
    EXPECT_EQ(list.items[25], "Z");
    EXPECT_EQ(list.items[26], "AA");
    EXPECT_EQ(list.items[51], "AZ");
    EXPECT_EQ(list.items[52], "BA");
    EXPECT_EQ(list.items[255], "IV");
    EXPECT_EQ(list.SelectedItem(), "A");
  }
}

struct HourCase {
  int hour, minute;
  const char* selected_hour;
};

class HourListTest : public SendDialogTest, public ::testing::WithParamInterface<HourCase> {};

TEST_P(HourListTest, ClampsTheCurrentHourIntoTheWindow) {
  addin.clock.SetTime(GetParam().hour, GetParam().minute);
  Open();
  const forms::Control& hours = C("ddlSHH");
  ASSERT_EQ(hours.items.size(), 12u);
  EXPECT_EQ(hours.items.front(), "09");
  EXPECT_EQ(hours.items.back(), "20");
  EXPECT_EQ(hours.SelectedItem(), GetParam().selected_hour);
  EXPECT_EQ(C("ddlEHH").SelectedItem(), GetParam().selected_hour);
}

INSTANTIATE_TEST_SUITE_P(Times, HourListTest,
                         ::testing::Values(HourCase{8, 15, "09"}, HourCase{9, 0, "09"}, HourCase{14, 40, "14"},
                                           HourCase{20, 59, "20"}, HourCase{22, 5, "20"}),
                         [](const auto& info) {
                           return "At" + std::to_string(info.param.hour) + "h" + std::to_string(info.param.minute);
                         });

TEST_F(SendDialogTest, AnExemptAccountGetsEveryHour) {
  addin.clock.SetTime(7, 3);
  Open("ABCDEF");
  const forms::Control& hours = C("ddlSHH");
  ASSERT_EQ(hours.items.size(), 24u);
  EXPECT_EQ(hours.items.front(), "00");
  EXPECT_EQ(hours.items.back(), "23");
  EXPECT_EQ(hours.SelectedItem(), "07");
}

TEST_F(SendDialogTest, DateAndMinuteListsFollowTheClock) {
  addin.clock.now = {2026, 1, 31, 10, 7, 0};
  Open();
  EXPECT_THAT(C("ddlYear").items, ElementsAre("2026", "2027", "2028", "2029"));
  EXPECT_EQ(C("ddlYear").SelectedItem(), "2026");
  const forms::Control& months = C("ddlMonth");
  ASSERT_EQ(months.items.size(), 12u);
  EXPECT_EQ(months.items.front(), "January");
  EXPECT_EQ(months.items.back(), "December");
  EXPECT_EQ(months.SelectedItem(), "January");
  const forms::Control& days = C("ddlDay");
  ASSERT_EQ(days.items.size(), 31u);
  EXPECT_EQ(days.items[0], "01");
  EXPECT_EQ(days.SelectedItem(), "31");
  for (const char* name : {"ddlSMM", "ddlEMM"}) {
    const forms::Control& minutes = C(name);
    ASSERT_EQ(minutes.items.size(), 60u);
    EXPECT_EQ(minutes.items[59], "59");
    EXPECT_EQ(minutes.SelectedItem(), "07");
  }
}

// --- Small handlers ------------------------------------------------------

TEST_F(SendDialogTest, SendLaterShowsAndHidesTheScheduleFieldsTogether) {
  Open();
  form.Click("chkSendLater");
  for (const char* field : {"lblSendDate", "ddlDay", "ddlMonth", "ddlYear", "lblSendBetween", "ddlSHH",
                            "ddlSMM", "lFourth"}) {
    EXPECT_TRUE(C(field).visible) << field;
  }
  EXPECT_FALSE(C("ddlEHH").visible);
  EXPECT_FALSE(C("lblTo").visible);
  form.Click("chkSendLater");
  EXPECT_FALSE(C("ddlSHH").visible);
  EXPECT_FALSE(C("lFourth").visible);
}

TEST_F(SendDialogTest, RangeOptionsEnableOneSideAndEmptyTheOther) {
  Open();
  form.SetText("txtStartRow", "3");
  form.SetText("txtEndRow", "9");
  form.Click("optMultiRange");
  EXPECT_TRUE(C("txtMultiRange").enabled);
  EXPECT_FALSE(C("txtStartRow").enabled);
  EXPECT_EQ(C("txtStartRow").text, "");
  EXPECT_EQ(C("txtEndRow").text, "");
  form.SetText("txtMultiRange", "3-9");
  form.Click("optSimpleRange");
  EXPECT_FALSE(C("txtMultiRange").enabled);
  EXPECT_EQ(C("txtMultiRange").text, "");
  EXPECT_TRUE(C("txtEndRow").enabled);
}

TEST_F(SendDialogTest, CancelHidesAndKeepsTheContents) {
  form.Show();
  form.SetText("txtMessage", "kept");
  form.Click("btnCancel");
  EXPECT_FALSE(form.visible());
  EXPECT_TRUE(form.loaded());
  EXPECT_EQ(C("txtMessage").text, "kept");
  form.Show();
  EXPECT_EQ(addin.transport.requests.size(), 1u) << "showing a kept dialog again repeats no set-up";
}

}  // namespace
}  // namespace pelorin::testing
