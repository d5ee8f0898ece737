#include "core/messaging/send_validation.h"

#include <cstdio>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/messaging_dialog/send_dialog_fixture.h"

namespace pelorin::testing {
namespace {

namespace msg = send_messages;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// --- The DND time window -------------------------------------------------

struct DndCase {
  int hour, minute;
  bool send_later;
  bool exempt_account;  // the service answered with a plain sender-ID list
  bool allowed;
};

class DndWindowTest : public SendDialogTest, public ::testing::WithParamInterface<DndCase> {};

TEST_P(DndWindowTest, RefusesOutsideNineToNineUnlessScheduledOrExempt) {
  const DndCase& c = GetParam();
  addin.clock.SetTime(c.hour, c.minute);
  Open(c.exempt_account ? "ABCDEF" : "3$ABCDEF");
  ASSERT_EQ(form.strDNDCode(), c.exempt_account ? "50" : "");
  FillValidSimpleSend();
  if (c.send_later) form.Click("chkSendLater");
  form.Click("btnSend");
  if (c.allowed) {
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_EQ(sent.size(), 1u);
  } else {
    EXPECT_THAT(Messages(), ElementsAre(std::string(msg::kDndWindow)));
    EXPECT_EQ(form.focused_control(), "txtMessage");
    EXPECT_THAT(sent, IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, DndWindowTest,
                         ::testing::Values(DndCase{8, 59, false, false, false},
                                           DndCase{9, 0, false, false, true},
                                           DndCase{21, 0, false, false, true},
                                           DndCase{21, 1, false, false, false},
                                           DndCase{22, 0, false, false, false},
                                           DndCase{0, 0, false, false, false},
                                           DndCase{23, 30, true, false, true},
                                           DndCase{23, 30, false, true, true},
                                           DndCase{0, 0, false, true, true}),
                         [](const auto& info) {
                           const DndCase& c = info.param;
                           char name[32];
                           std::snprintf(name, sizeof name, "At%02d%02d%s%s", c.hour, c.minute,
                                         c.send_later ? "SendLater" : "", c.exempt_account ? "Exempt" : "");
                           return std::string(name);
                         });

TEST(DndWindow, IsJudgedByHourAndMinute) {
  EXPECT_TRUE(OutsideDndWindow({2026, 1, 1, 8, 59, 59}));
  EXPECT_FALSE(OutsideDndWindow({2026, 1, 1, 21, 0, 59}));
  EXPECT_TRUE(OutsideDndWindow({2026, 1, 1, 23, 59, 0}));
}

// --- Messages and focus --------------------------------------------------

struct RefusalCase {
  const char* name;
  const char* message;
  bool multiple;
  const char* start;
  const char* end;
  const char* range;
  std::string_view expected;
  const char* focus;  // "" when the focus stays where it was
};

class SendRefusalTest : public SendDialogTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SendRefusalTest, ShowsTheMessageAndFocusesTheField) {
  const RefusalCase& c = GetParam();
  Open();
  form.SetFocus("btnSend");
  form.SetText("txtMessage", c.message);
  if (c.multiple) {
    UseMultipleRange(c.range);
  } else {
    form.SetText("txtStartRow", c.start);
    form.SetText("txtEndRow", c.end);
  }
  form.Click("btnSend");
  EXPECT_THAT(Messages(), ElementsAre(std::string(c.expected)));
  EXPECT_EQ(addin.ui.messages[0].title, "Pelorin");
  EXPECT_EQ(addin.ui.messages[0].style, 0);
  EXPECT_EQ(form.focused_control(), *c.focus ? c.focus : "btnSend");
  EXPECT_THAT(sent, IsEmpty());
  EXPECT_FALSE(addin.ui.busy);
  // The dialog keeps what the user typed.
  EXPECT_EQ(C("txtMessage").text, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SendRefusalTest,
    ::testing::Values(
        RefusalCase{"EmptyMessage", "", false, "2", "5", "", msg::kEmptyMessage, "txtMessage"},
        RefusalCase{"NoStartRow", "Hi", false, "", "5", "", msg::kNoStartRow, "txtStartRow"},
        RefusalCase{"NoEndRow", "Hi", false, "2", "", "", msg::kNoEndRow, "txtEndRow"},
        RefusalCase{"Reversed", "Hi", false, "9", "5", "", msg::kReversedRows, "txtStartRow"},
        RefusalCase{"RowZero", "Hi", false, "0", "5", "", msg::kInvalidRows, "txtStartRow"},
        RefusalCase{"BothZero", "Hi", false, "0", "0", "", msg::kInvalidRows, "txtStartRow"},
        RefusalCase{"NotANumber", "Hi", false, "1.5", "5", "", msg::kInvalidRows, "txtStartRow"},
        RefusalCase{"NoRange", "Hi", true, "", "", "", msg::kNoRange, ""},
        RefusalCase{"MalformedItem", "Hi", true, "", "", "3-9,5", msg::kInvalidMultipleRange, ""},
        RefusalCase{"TrailingComma", "Hi", true, "", "", "3-9,", msg::kInvalidMultipleRange, ""},
        RefusalCase{"ZeroBound", "Hi", true, "", "", "0-5", msg::kInvalidMultipleRange, ""},
        RefusalCase{"ReversedItem", "Hi", true, "", "", "9-3", msg::kReversedRows, "txtMultiRange"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendDialogTest, EqualStartAndEndRowAreOneRow) {
  Open();
  form.SetText("txtMessage", "Hi");
  form.SetText("txtStartRow", "5");
  form.SetText("txtEndRow", "5");
  form.Click("btnSend");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_THAT(sent[0].ranges, ElementsAre(RowRange{5, 5}));
}

TEST_F(SendDialogTest, NobodyLoggedInOpensTheLoginWithoutAMessage) {
  int logins = 0;
  form.SetLoginShower([&logins] { ++logins; });
  Open();
  addin.settings.ClearLoginDetails();
  FillValidSimpleSend();
  form.Click("btnSend");
  EXPECT_EQ(logins, 1);
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_THAT(sent, IsEmpty());
  EXPECT_FALSE(addin.ui.busy);
}

TEST_F(SendDialogTest, NobodyLoggedInShowsALoginDialogByDefault) {
  Open();
  addin.settings.ClearLoginDetails();
  FillValidSimpleSend();
  form.Click("btnSend");
  ASSERT_NE(addin.ui.last_shown, nullptr);
  EXPECT_EQ(addin.ui.last_shown->name(), "frmLogin");
}

// --- The request handed on -----------------------------------------------

TEST_F(SendDialogTest, HandsOnTheTrimmedTemplateAndTheDialogsChoices) {
  Open("3$ABCDEF,GHIJKL");
  form.SetText("txtMessage", "  Dear |C|  ");
  form.SelectItem("ddlMCol", 1);
  form.SelectItem("ddlSenderID", 1);
  form.Click("chkFlash");
  UseMultipleRange("35-71, 3 - 9");
  form.Click("btnSend");
  ASSERT_EQ(sent.size(), 1u);
  const SendRequest& r = sent[0];
  EXPECT_EQ(r.message_template, "Dear |C|");
  EXPECT_EQ(r.mobile_column, "B");
  EXPECT_TRUE(r.multiple_range);
  EXPECT_THAT(r.ranges, ElementsAre(RowRange{35, 71}, RowRange{3, 9}));
  EXPECT_TRUE(r.flash);
  EXPECT_EQ(r.sender_id, "GHIJKL");
  EXPECT_EQ(r.schedule, "");
}

TEST_F(SendDialogTest, ASpacesOnlyTemplatePassesAndIsTrimmedToNothing) {
  Open();
  FillValidSimpleSend();
  form.SetText("txtMessage", "   ");
  form.Click("btnSend");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].message_template, "");
}

TEST_F(SendDialogTest, SendLaterSendsTheScheduleAsDisplayed) {
  addin.clock.now = {2012, 3, 5, 9, 30, 0};
  Open();
  FillValidSimpleSend();
  form.Click("chkSendLater");
  form.Click("btnSend");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].schedule, "2012-March-05|09|30|09|30");
}

TEST(ScheduleText, JoinsTheFieldsUnchanged) {
  ScheduleFields f{"2013", "April", "7", "21", "05", "", "5"};
  EXPECT_EQ(BuildScheduleText(f), "2013-April-7|21|05||5");
}

TEST_F(SendDialogTest, CursorIsBusyDuringTheHandoverAndRestoredAfter) {
  bool busy_in_handler = false;
  form.SetSendRequestHandler([&](const SendRequest&) { busy_in_handler = addin.ui.busy; });
  Open();
  FillValidSimpleSend();
  form.Click("btnSend");
  EXPECT_TRUE(busy_in_handler);
  EXPECT_FALSE(addin.ui.busy);
}

TEST_F(SendDialogTest, AFailingRunShowsTheProcessingError) {
  form.SetSendRequestHandler([](const SendRequest&) { throw std::runtime_error("row 3: boom"); });
  Open();
  FillValidSimpleSend();
  form.Click("btnSend");
  EXPECT_THAT(Messages(), ElementsAre(std::string(msg::kProcessingError)));
  EXPECT_FALSE(addin.ui.busy);
}

// --- The preview's checks ------------------------------------------------

TEST(PreviewValidation, SkipsLoginAndDndAndRowZero) {
  SendDialogInput input;
  input.message = " Hi ";
  input.start_row = "0";
  input.end_row = "5";
  PreviewValidation checked = ValidatePreview(input);
  ASSERT_TRUE(checked.accepted);
  EXPECT_EQ(checked.request.message_template, "Hi");
  EXPECT_EQ(checked.request.rows, (RowRange{0, 5}));
}

TEST(PreviewValidation, LeavesMultipleRangeItemsForTheFill) {
  SendDialogInput input;
  input.message = "Hi";
  input.multiple_range = true;
  input.range_text = "9-3,0-5";
  PreviewValidation checked = ValidatePreview(input);
  ASSERT_TRUE(checked.accepted);
  EXPECT_EQ(checked.request.range_text, "9-3,0-5");

  input.range_text = "";
  checked = ValidatePreview(input);
  EXPECT_FALSE(checked.accepted);
  EXPECT_EQ(checked.refusal.message, msg::kNoRange);
}

TEST(PreviewValidation, RefusesAnEmptyMessageAndReversedSimpleRows) {
  SendDialogInput input;
  input.start_row = "9";
  input.end_row = "3";
  EXPECT_EQ(ValidatePreview(input).refusal.focus, "txtMessage");
  input.message = "Hi";
  PreviewValidation checked = ValidatePreview(input);
  EXPECT_EQ(checked.refusal.message, msg::kReversedRows);
  EXPECT_EQ(checked.refusal.focus, "txtStartRow");
}

}  // namespace
}  // namespace pelorin::testing
