#include "core/messaging/sender_ids.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/messaging_dialog/send_dialog_fixture.h"

namespace pelorin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SenderIdReplySplit, UsesTheDollarOnlyWhenThereIsExactlyOne) {
  struct Case {
    const char* reply;
    const char* code;
    const char* list;
  };
  for (const Case& c : {Case{"3$A,B", "3", "A,B"}, Case{"$", "", ""}, Case{"5$", "5", ""},
                        Case{"$0", "", "0"}, Case{"ABC", " ", "ABC"}, Case{"a$b$c", " ", "a$b$c"},
                        Case{"", " ", ""}}) {
    SenderIdReply parts = SplitSenderIdReply(c.reply);
    EXPECT_EQ(parts.code, c.code) << c.reply;
    EXPECT_EQ(parts.list, c.list) << c.reply;
  }
}

TEST(SenderIdList, KeepsEveryPieceAsWritten) {
  EXPECT_THAT(SplitSenderIds(","), ElementsAre("", ""));
  EXPECT_THAT(SplitSenderIds(" A ,B"), ElementsAre(" A ", "B"));
  EXPECT_THAT(SplitSenderIds(""), IsEmpty());
}

TEST(DndCategory, CaptionsTheSevenCategoriesOnly) {
  EXPECT_EQ(DndCategoryCaption("1"), "Banking/Insurance/Financial products/credit cards - Allowed");
  EXPECT_EQ(DndCategoryCaption("7"), "Tourism and Leisure - Allowed");
  EXPECT_EQ(DndCategoryCaption("0"), std::nullopt);
  EXPECT_EQ(DndCategoryCaption("8"), std::nullopt);
  EXPECT_EQ(DndCategoryCaption("10"), std::nullopt);
}

// --- What the dialog shows for each reply --------------------------------

struct ReplyCase {
  const char* name;
  const char* stored_cid;  // vpelorin_cid before the load
  const char* reply;       // FakeTransport::kFail for a failed request
  bool status_visible;
  const char* caption;
  bool red;
  bool senders_visible;
  std::vector<std::string> senders;
  const char* cid_after;
  const char* dnd_code;
  std::size_t hours;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const ReplyCase& c, std::ostream* os) { *os << c.name; }

class SenderIdReplyTest : public SendDialogTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(SenderIdReplyTest, ShowsTheStatusAndTheSenderIds) {
  const ReplyCase& c = GetParam();
  if (*c.stored_cid) addin.settings.SaveDNDStatus(c.stored_cid);
  Open(c.reply);
  forms::Control& status = C("lblDND");
  EXPECT_EQ(status.visible, c.status_visible);
  EXPECT_EQ(C("lblDNDfilter").visible, c.status_visible);
  if (c.status_visible) {
    EXPECT_EQ(status.text, c.caption);
    EXPECT_EQ(status.fore_color, c.red ? forms::kRed : forms::kNavy);
  }
  EXPECT_EQ(C("ddlSenderID").visible, c.senders_visible);
  EXPECT_EQ(C("lblSenderID").visible, c.senders_visible);
  EXPECT_EQ(C("ddlSenderID").items, c.senders);
  EXPECT_EQ(C("ddlSenderID").selected_index, c.senders.empty() ? -1 : 0);
  EXPECT_EQ(addin.settings.strGetSetting(value_names::kDndStatus), c.cid_after);
  EXPECT_EQ(form.strDNDCode(), c.dnd_code);
  EXPECT_EQ(C("ddlSHH").items.size(), c.hours);
  EXPECT_EQ(C("ddlEHH").items.size(), c.hours);
  // The lists below the reply are filled whatever it said.
  EXPECT_EQ(C("ddlMCol").items.size(), 256u);
  EXPECT_EQ(C("ddlSMM").items.size(), 60u);
}

const char* const kFail = FakeTransport::kFail;

INSTANTIATE_TEST_SUITE_P(
    Replies, SenderIdReplyTest,
    ::testing::Values(
        ReplyCase{"CodeAndList", "", "3$ABCDEF,GHIJKL", true, "Education - Allowed", false, true,
                  {"ABCDEF", "GHIJKL"}, "3", "", 12},
        ReplyCase{"PlainList", "", "ABCDEF", true, "INACTIVE", false, true, {"ABCDEF"}, "50", "50", 24},
        ReplyCase{"PlainListKeepsStoredZero", "0", "ABCDEF", true, "INACTIVE", false, true, {"ABCDEF"},
                  "0", "50", 24},
        ReplyCase{"BareActive", "", "10", true, " ACTIVE ", true, false, {}, "", "", 12},
        ReplyCase{"BareCategory", "", "4", true, "Health - Allowed", false, false, {}, "", "", 12},
        ReplyCase{"EmptyCodeZeroList", "", "$0", false, "", false, true, {}, "", "", 12},
        ReplyCase{"OnlyDollar", "", "$", false, "", false, true, {}, "", "", 12},
        ReplyCase{"CodeZero", "", "0$ABCDEF", true, "", false, false, {}, "", "", 12},
        ReplyCase{"CodeWithoutList", "", "5$", true, "Consumer goods and automobiles - Allowed", false,
                  false, {}, "5", "", 12},
        ReplyCase{"ActiveCodeWithList", "", "10$S1", true, " ACTIVE ", true, true, {"S1"}, "10", "", 12},
        ReplyCase{"ListOne", "", "4$1", true,
                  "Banking/Insurance/Financial products/credit cards - Allowed", false, false, {}, "", "",
                  12},
        ReplyCase{"TwoDollars", "", "a$b$c", true, "INACTIVE", false, true, {"a$b$c"}, "50", "50", 24},
        ReplyCase{"Commas", "", ",", true, "INACTIVE", false, true, {"", ""}, "50", "50", 24},
        ReplyCase{"EmptyReply", "", "", true, "INACTIVE", false, true, {}, "50", "50", 24},
        ReplyCase{"StoredStatusUnchangedByCodeZero", "7", "$0", true, "Tourism and Leisure - Allowed",
                  false, false, {}, "7", "", 12},
        ReplyCase{"FailedRequestKeepsStoredStatus", "3", kFail, true, "Education - Allowed", false, false,
                  {}, "3", "", 12}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendDialogTest, StoredExemptStatusShowsInactiveWithTheSenderListBeforeTheRequest) {
  addin.settings.SaveDNDStatus("50");
  Open(FakeTransport::kFail);
  EXPECT_EQ(C("lblDND").text, "INACTIVE");
  EXPECT_TRUE(C("ddlSenderID").visible);
  EXPECT_EQ(C("lblDNDfilter").rect.height, C("lblDND").rect.height);
  EXPECT_EQ(C("lblDND").rect.left, 5400);
}

TEST_F(SendDialogTest, StoredUnknownStatusShowsActiveInRed) {
  addin.settings.SaveDNDStatus("99");
  Open(FakeTransport::kFail);
  EXPECT_EQ(C("lblDND").text, " ACTIVE ");
  EXPECT_EQ(C("lblDND").fore_color, forms::kRed);
  EXPECT_FALSE(C("ddlSenderID").visible);
}

TEST_F(SendDialogTest, AFailedStatusWriteLeavesTheHourListsEmpty) {
  addin.settings.SaveDNDStatus("3");
  addin.backend.fail_writes = true;
  Open("ABCDEF");
  EXPECT_EQ(form.strDNDCode(), "50");
  EXPECT_THAT(C("ddlSHH").items, IsEmpty());
  EXPECT_THAT(C("ddlEHH").items, IsEmpty());
}

TEST_F(SendDialogTest, CodeAndListPutTheStatusRightOfTheSenderList) {
  Open("3$ABCDEF,GHIJKL");
  const forms::Control& status = C("lblDND");
  EXPECT_EQ(status.rect.left, 5280);
  EXPECT_EQ(status.rect.width, 3775);
  EXPECT_EQ(status.rect.height, 455);
  EXPECT_EQ(C("lblDNDfilter").rect.left, 3840);
  EXPECT_EQ(C("ddlSenderID").rect.left, 1920);
}

TEST_F(SendDialogTest, StatusOnlyArrangementSpansTheRow) {
  Open("5$");
  const forms::Control& status = C("lblDND");
  EXPECT_EQ(status.rect.left, 1920);
  EXPECT_EQ(status.rect.width, 6500);
  EXPECT_EQ(status.rect.height, C("lblDNDfilter").rect.height);
  EXPECT_EQ(C("lblDNDfilter").rect.left, 600);
}

TEST_F(SendDialogTest, AsksForTheSenderIdsOfTheLoggedInUser) {
  addin.settings.SaveServiceHost("svc.example:8080");
  addin.LogIn("a&b c");
  Open();
  ASSERT_EQ(addin.transport.requests.size(), 1u);
  const HttpRequest& request = addin.transport.requests[0];
  EXPECT_EQ(request.url, "http://svc.example:8080/PelorinExcelplugin02022012/GetSenderID.aspx?uid=a%26b%20c");
  EXPECT_EQ(request.body, "");
}

}  // namespace
}  // namespace pelorin::testing
