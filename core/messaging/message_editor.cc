#include "core/messaging/message_editor.h"

#include <algorithm>

#include "core/forms/form.h"
#include "core/host/application.h"

namespace pelorin {
namespace {

bool IsDigit(forms::KeyCode code) { return code >= '0' && code <= '9'; }

bool IsRowKey(forms::KeyCode code) {
  return IsDigit(code) || code == key_codes::kBackspace || code == key_codes::kFullStop;
}

bool IsRangeKey(forms::KeyCode code) {
  return IsRowKey(code) || code == key_codes::kComma || code == key_codes::kHyphen;
}

void PutCaretAtEnd(forms::Control& box) {
  box.selection_start = forms::Utf8Length(box.text);
  box.selection_length = 0;
}

}  // namespace

std::string Placeholder(std::string_view column) {
  std::string text = "|";
  text += column;
  text += "|";
  return text;
}

void InsertColumnPlaceholder(Application& application, std::string_view column,
                             forms::Control& message) {
  application.SelectWholeColumn(column);
  message.text += Placeholder(column);
  PutCaretAtEnd(message);
}

void UpdateLengthCounter(const forms::Control& message, forms::KeyCode key_ascii,
                         forms::Control& counter) {
  int length = forms::Utf8Length(message.text);
  bool deletes = key_ascii == key_codes::kBackspace || key_ascii == key_codes::kDeleteChar;
  int estimate = deletes ? std::max(length - 1, 0) : length + 1;
  counter.text = std::to_string(estimate);
}

void FilterRowCharacter(forms::KeyCode& key_ascii) {
  if (!IsRowKey(key_ascii)) key_ascii = 0;
}

void FilterRangeCharacter(forms::KeyCode& key_ascii) {
  if (!IsRangeKey(key_ascii)) key_ascii = 0;
}

// Key codes 8 (Backspace) and 46 (Delete) coincide with the character codes
// of backspace and full stop, so the key lists equal the character lists.
void FilterRowKeyCode(forms::KeyCode& key_code) { FilterRowCharacter(key_code); }

void FilterRangeKeyCode(forms::KeyCode& key_code) { FilterRangeCharacter(key_code); }

void AddToText(forms::Control& t, std::string_view s, bool append_new_line) {
  int length = forms::Utf8Length(t.text);
  int caret = std::clamp(t.selection_start, 0, length);
  int selected = std::clamp(t.selection_length, 0, length - caret);
  bool caret_at_end = caret == length;
  bool selection_to_end = selected >= 1 && caret + selected == length;

  t.text += s;
  if (append_new_line) t.text += "\r\n";

  int new_length = forms::Utf8Length(t.text);
  if (caret_at_end) {
    PutCaretAtEnd(t);
  } else if (selection_to_end) {
    t.selection_start = caret;
    t.selection_length = new_length - caret;
  } else {
    t.selection_start = caret;
    t.selection_length = selected;
  }
}

}  // namespace pelorin
