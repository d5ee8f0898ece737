#include "core/messaging/message_editor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/messaging_dialog/send_dialog_fixture.h"

namespace pelorin::testing {
namespace {

class MessageEditorTest : public SendDialogTest {
 protected:
  MessageEditorTest() { Open(); }

  void SelectCell(const std::string& column) {
    const auto& items = C("lstCells").items;
    int index = static_cast<int>(std::find(items.begin(), items.end(), column) - items.begin());
    form.SelectItem("lstCells", index);
  }

  // Presses one key in the message box and lets it through as typing does.
  std::string CounterAfterKey(const std::string& text, forms::KeyCode key) {
    form.SetText("txtMessage", text);
    form.KeyPress("txtMessage", key);
    return C("txtCount").text;
  }
};

TEST_F(MessageEditorTest, AddCellAppendsThePlaceholderAndSelectsTheColumn) {
  form.SetText("txtMessage", "Dear ");
  SelectCell("AB");
  form.Click("btnAddCell");
  EXPECT_EQ(C("txtMessage").text, "Dear |AB|");
  EXPECT_EQ(C("txtMessage").selection_start, 9);
  EXPECT_EQ(C("txtMessage").selection_length, 0);
  EXPECT_EQ(addin.application.selected_column, "AB");
  EXPECT_EQ(form.focused_control(), "txtMessage");
}

TEST_F(MessageEditorTest, DoubleClickAppendsAtTheEndWhereverTheCaretWas) {
  form.SetText("txtMessage", "Hello there");
  C("txtMessage").selection_start = 3;
  C("txtMessage").selection_length = 2;
  SelectCell("C");
  form.DoubleClick("lstCells");
  EXPECT_EQ(C("txtMessage").text, "Hello there|C|");
  EXPECT_EQ(C("txtMessage").selection_start, 14);
}

TEST_F(MessageEditorTest, NoPlaceholderWhenTheHostCannotSelectTheColumn) {
  addin.application.has_active_sheet = false;
  form.SetText("txtMessage", "Dear ");
  form.Click("btnAddCell");
  EXPECT_EQ(C("txtMessage").text, "Dear ");
  EXPECT_THAT(Messages(), ::testing::IsEmpty());
}

TEST_F(MessageEditorTest, InsertionLeavesTheCounterAlone) {
  form.Type("txtMessage", "ab");
  form.Click("btnAddCell");
  EXPECT_EQ(C("txtCount").text, "2");
}

TEST_F(MessageEditorTest, CounterEstimatesTheLengthFromEachKey) {
  struct Case {
    const char* text;
    forms::KeyCode key;
    const char* counter;
  };
  for (const Case& c : {Case{"", 'x', "1"}, Case{"", key_codes::kBackspace, "0"},
                        Case{"abc", key_codes::kBackspace, "2"}, Case{"abc", '.', "4"},
                        Case{"abc", 13, "4"}, Case{"abc", key_codes::kDeleteChar, "2"},
                        Case{"été", 'x', "4"}}) {
    EXPECT_EQ(CounterAfterKey(c.text, c.key), c.counter) << c.text << " key " << c.key;
  }
}

TEST_F(MessageEditorTest, TypingKeepsTheCounterInStep) {
  form.Type("txtMessage", "Hi.");
  EXPECT_EQ(C("txtCount").text, "3");
  form.Type("txtMessage", "\b");
  EXPECT_EQ(C("txtCount").text, "2");
  EXPECT_EQ(C("txtMessage").text, "Hi");
}

struct FilterCase {
  const char* box;
  const char* typed;
  const char* kept;
};

class KeyFilterTest : public MessageEditorTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(KeyFilterTest, KeepsOnlyTheBoxsCharacters) {
  const FilterCase& c = GetParam();
  if (std::string(c.box) == "txtMultiRange") form.Click("optMultiRange");
  form.Type(c.box, c.typed);
  EXPECT_EQ(C(c.box).text, c.kept);
}

INSTANTIATE_TEST_SUITE_P(Boxes, KeyFilterTest,
                         ::testing::Values(FilterCase{"txtStartRow", "1a2", "12"},
                                           FilterCase{"txtStartRow", "3-9", "39"},
                                           FilterCase{"txtEndRow", "7.5", "7.5"},
                                           FilterCase{"txtEndRow", "1,2 3", "123"},
                                           FilterCase{"txtMultiRange", "3-9,35-71", "3-9,35-71"},
                                           FilterCase{"txtMultiRange", "1.5-x; 2", "1.5-2"},
                                           FilterCase{"txtStartRow", "12345678", "1234567"}));

TEST(KeyCodeFilter, RowAndRangeKeysDifferOnlyBySeparators) {
  for (forms::KeyCode code : {48, 57, 8, 46}) {
    forms::KeyCode row = code, range = code;
    FilterRowKeyCode(row);
    FilterRangeKeyCode(range);
    EXPECT_EQ(row, code);
    EXPECT_EQ(range, code);
  }
  for (forms::KeyCode code : {44, 45}) {
    forms::KeyCode row = code, range = code;
    FilterRowKeyCode(row);
    FilterRangeKeyCode(range);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(range, code);
  }
  for (forms::KeyCode code : {37, 47, 58, 65, 96}) {
    forms::KeyCode range = code;
    FilterRangeKeyCode(range);
    EXPECT_EQ(range, 0) << code;
  }
}

struct AddToTextCase {
  const char* name;
  int caret, selected;
  bool new_line;
  const char* text;
  int caret_after, selected_after;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const AddToTextCase& c, std::ostream* os) { *os << c.name; }

class AddToTextTest : public MessageEditorTest, public ::testing::WithParamInterface<AddToTextCase> {};

TEST_P(AddToTextTest, AppendsAndGivesBackTheUsersPlace) {
  const AddToTextCase& c = GetParam();
  forms::Control& box = C("txtMessage");
  box.text = "abc";
  box.selection_start = c.caret;
  box.selection_length = c.selected;
  form.AddToText(box, "xy", c.new_line);
  EXPECT_EQ(box.text, c.text);
  EXPECT_EQ(box.selection_start, c.caret_after);
  EXPECT_EQ(box.selection_length, c.selected_after);
}

INSTANTIATE_TEST_SUITE_P(
    Places, AddToTextTest,
    ::testing::Values(AddToTextCase{"CaretInside", 1, 0, false, "abcxy", 1, 0},
                      AddToTextCase{"CaretAtEnd", 3, 0, false, "abcxy", 5, 0},
                      AddToTextCase{"SelectionToEnd", 1, 2, false, "abcxy", 1, 4},
                      AddToTextCase{"SelectionInside", 0, 2, false, "abcxy", 0, 2},
                      AddToTextCase{"NewLineAtEnd", 3, 0, true, "abcxy\r\n", 7, 0},
                      AddToTextCase{"NewLineSelectionToEnd", 2, 1, true, "abcxy\r\n", 2, 5}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelorin::testing
