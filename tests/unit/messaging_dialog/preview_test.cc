#include "core/messaging/preview_form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/messaging_dialog/send_dialog_fixture.h"

namespace pelorin::testing {
namespace {

namespace msg = send_messages;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PreviewTest : public SendDialogTest {
 protected:
  PreviewTest() { Open(); }

  // Mobile numbers in column A and names in column C for rows first..last.
  void FillRows(std::int64_t first, std::int64_t last) {
    for (std::int64_t row = first; row <= last; ++row) {
      addin.application.sheet.Set("A", row, "9100" + std::to_string(row));
      addin.application.sheet.Set("C", row, "n" + std::to_string(row));
    }
  }

  void PreviewSimple(const char* message, const char* start, const char* end) {
    form.SetText("txtMessage", message);
    form.SetText("txtStartRow", start);
    form.SetText("txtEndRow", end);
    form.Click("btnPreview");
  }

  void PreviewMultiple(const char* message, const char* range) {
    form.SetText("txtMessage", message);
    UseMultipleRange(range);
    form.Click("btnPreview");
  }

  // The rows under the header of the newest preview window.
  std::vector<std::vector<std::string>> Listed() {
    const auto& rows = Latest().grid().rows;
    return {rows.begin() + 1, rows.end()};
  }
  std::vector<std::string> ListedMobiles() {
    std::vector<std::string> mobiles;
    for (const auto& row : Listed()) mobiles.push_back(row[0]);
    return mobiles;
  }
  frmPreview& Latest() { return *form.previews().back(); }
};

TEST_F(PreviewTest, ListsMobileAndMergedMessageUnderTheHeader) {
  FillRows(2, 3);
  PreviewSimple("Dear |C|", "2", "3");
  ASSERT_EQ(form.previews().size(), 1u);
  frmPreview& preview = Latest();
  EXPECT_TRUE(preview.visible());
  EXPECT_EQ(preview.caption(), "Preview");
  EXPECT_THAT(preview.grid().rows[0], ElementsAre("Mobile", "Message"));
  EXPECT_THAT(Listed(), ElementsAre(ElementsAre("91002", "Dear n2"), ElementsAre("91003", "Dear n3")));
  EXPECT_TRUE(preview.grid().word_wrap);
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_FALSE(addin.ui.busy);
}

TEST_F(PreviewTest, StopsAtFiftyRows) {
  FillRows(1, 120);
  PreviewSimple("Hi", "1", "120");
  ASSERT_EQ(Listed().size(), 50u);
  EXPECT_EQ(Listed().back()[0], "910050");
  EXPECT_LE(addin.application.sheet.cell_reads, 50) << "reading stops once 50 rows are listed";
}

TEST_F(PreviewTest, MultipleRangeFillsUpToFiftyAcrossItems) {
  FillRows(1, 100);
  PreviewMultiple("Hi", "1-30,40-100");
  std::vector<std::string> mobiles = ListedMobiles();
  ASSERT_EQ(mobiles.size(), 50u);
  EXPECT_EQ(mobiles[29], "910030");
  EXPECT_EQ(mobiles[30], "910040");
  EXPECT_EQ(mobiles[49], "910059");
}

TEST_F(PreviewTest, SkipsEmptyMobilesButListsSpacesAsTheyAre) {
  FillRows(1, 4);
  addin.application.sheet.Set("A", 2, "");
  addin.application.sheet.Set("A", 3, "   ");
  PreviewSimple("Hi", "1", "4");
  EXPECT_THAT(ListedMobiles(), ElementsAre("91001", "   ", "91004"));
}

TEST_F(PreviewTest, AReversedItemListsNothingAndSaysNothing) {
  FillRows(1, 9);
  PreviewMultiple("Hi", "9-3,1-1");
  EXPECT_THAT(ListedMobiles(), ElementsAre("91001"));
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(PreviewTest, ATemplateWithoutPlaceholdersRepeats) {
  FillRows(1, 3);
  PreviewSimple("Same text", "1", "3");
  for (const auto& row : Listed()) EXPECT_EQ(row[1], "Same text");
}

TEST_F(PreviewTest, SizesTheMessageColumnForTheLongestMessage) {
  FillRows(1, 3);
  addin.application.sheet.Set("C", 2, "a much longer name");
  PreviewSimple("Dear |C|", "1", "3");
  const forms::GridModel& grid = Latest().grid();
  // The fake measures ten twips a character and 200 a line.
  const std::string longest = "Dear a much longer name";
  EXPECT_EQ(grid.column_widths[0], 1700);
  EXPECT_EQ(grid.column_widths[1], 10 * static_cast<int>(longest.size()) + 5000);
  EXPECT_EQ(grid.row_heights[1], 200 + 1000);
  EXPECT_EQ(C("lblWIDTH").text, longest);
  EXPECT_FALSE(C("lblWIDTH").visible);
}

struct PreviewErrorCase {
  const char* name;
  bool multiple;
  const char* rows;  // "start-end" for a simple range, the range text otherwise
  std::string_view expected;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const PreviewErrorCase& c, std::ostream* os) { *os << c.name; }

class PreviewErrorTest : public PreviewTest, public ::testing::WithParamInterface<PreviewErrorCase> {};

TEST_P(PreviewErrorTest, ShowsTheMessageAndNoWindow) {
  const PreviewErrorCase& c = GetParam();
  FillRows(1, 9);
  if (c.multiple) {
    PreviewMultiple("Dear |C|", c.rows);
  } else {
    std::string rows = c.rows;
    std::size_t hyphen = rows.find('-');
    PreviewSimple("Dear |C|", rows.substr(0, hyphen).c_str(), rows.substr(hyphen + 1).c_str());
  }
  EXPECT_THAT(Messages(), ElementsAre(std::string(c.expected)));
  EXPECT_EQ(addin.ui.messages[0].title, "Pelorin");
  EXPECT_THAT(form.previews(), IsEmpty());
  EXPECT_EQ(addin.ui.last_shown, nullptr);
  EXPECT_FALSE(addin.ui.busy);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewErrorTest,
    ::testing::Values(PreviewErrorCase{"MalformedItem", true, "1-3,5", msg::kInvalidMultipleRange},
                      PreviewErrorCase{"TrailingComma", true, "1-3,", msg::kInvalidMultipleRange},
                      PreviewErrorCase{"RowZeroInItem", true, "0-5", msg::kProcessingError},
                      PreviewErrorCase{"BoundNotANumber", true, "a-5", msg::kProcessingError},
                      PreviewErrorCase{"RowZeroSimple", false, "0-5", msg::kProcessingError}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreviewTest, ARefusedColumnReferenceIsAProcessingError) {
  FillRows(1, 3);
  PreviewSimple("Hi |12|", "1", "3");
  EXPECT_THAT(Messages(), ElementsAre(std::string(msg::kProcessingError)));
  EXPECT_THAT(form.previews(), IsEmpty());
}

TEST_F(PreviewTest, NoActiveSheetIsAProcessingError) {
  addin.application.has_active_sheet = false;
  PreviewSimple("Hi", "1", "3");
  EXPECT_THAT(Messages(), ElementsAre(std::string(msg::kProcessingError)));
}

TEST_F(PreviewTest, AFailedPreviewLeavesNoRowsForTheNextOne) {
  FillRows(1, 9);
  PreviewMultiple("Hi", "1-2,5");
  PreviewMultiple("Hi", "7-7");
  ASSERT_EQ(form.previews().size(), 1u);
  EXPECT_THAT(ListedMobiles(), ElementsAre("91007"));
}

TEST_F(PreviewTest, CancelHidesAndTheNextPreviewOpensANewWindow) {
  FillRows(1, 2);
  PreviewSimple("Hi", "1", "1");
  frmPreview* first = form.previews()[0].get();
  first->Click("btnCancel");
  EXPECT_FALSE(first->visible());
  PreviewSimple("Hi", "2", "2");
  ASSERT_EQ(form.previews().size(), 2u);
  EXPECT_NE(form.previews()[1].get(), first);
  EXPECT_THAT(ListedMobiles(), ElementsAre("91002"));
  // The send dialog stays as it was, open and usable.
  EXPECT_THAT(addin.ui.events, ::testing::Not(::testing::Contains("hidden frmSendSMS")));
}

TEST_F(PreviewTest, PreviewWindowsGoWithTheirSendDialog) {
  FillRows(1, 1);
  {
    frmSendSMS other(addin.context);
    other.SetText("txtMessage", "Hi");
    other.SetText("txtStartRow", "1");
    other.SetText("txtEndRow", "1");
    other.Click("btnPreview");
    ASSERT_EQ(other.previews().size(), 1u);
  }
  EXPECT_EQ(addin.ui.events.back(), "unloaded frmPreview");
}

TEST_F(PreviewTest, NeedsNoLoginAndIgnoresTheDndWindow) {
  addin.settings.ClearLoginDetails();
  addin.clock.SetTime(23, 30);
  FillRows(1, 1);
  PreviewSimple("Hi", "1", "1");
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_EQ(form.previews().size(), 1u);
}

}  // namespace
}  // namespace pelorin::testing
