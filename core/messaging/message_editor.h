// The editing aids around the message template: column placeholders, the
// keystroke length counter, the row and range key filters, AddToText.
#pragma once

#include <string>
#include <string_view>

#include "core/forms/control.h"

namespace pelorin {

class Application;

namespace key_codes {
inline constexpr forms::KeyCode kBackspace = 8;
inline constexpr forms::KeyCode kDelete = 46;     // as a key-down code
inline constexpr forms::KeyCode kDeleteChar = 127;  // as a character code
inline constexpr forms::KeyCode kComma = 44;
inline constexpr forms::KeyCode kHyphen = 45;
inline constexpr forms::KeyCode kFullStop = 46;
}  // namespace key_codes

// "|" + column + "|": what the merge replaces by that column's cell.
std::string Placeholder(std::string_view column);

// Makes the whole column the host's selection, then appends its placeholder
// to the end of `message` wherever the caret was, and puts the caret at the
// new end. When the host cannot select the column it throws and the message
// stays as it was.
void InsertColumnPlaceholder(Application& application, std::string_view column,
                             forms::Control& message);

// Runs before the key reaches `message`: the counter shows the length the
// text will have. An estimate by keystrokes alone; pastes are not seen.
void UpdateLengthCounter(const forms::Control& message, forms::KeyCode key_ascii,
                         forms::Control& counter);

// Character filters of the row boxes and of the multiple-range box: a
// refused character's code becomes 0.
void FilterRowCharacter(forms::KeyCode& key_ascii);
void FilterRangeCharacter(forms::KeyCode& key_ascii);
// The same lists applied to key-down and key-up codes.
void FilterRowKeyCode(forms::KeyCode& key_code);
void FilterRangeKeyCode(forms::KeyCode& key_code);

// Appends `s` (and a CR LF when asked) to the end of `t`, then gives the
// user back their place: a caret at the end follows the new end, a
// selection reaching the end grows with it, anything else stays put.
void AddToText(forms::Control& t, std::string_view s, bool append_new_line = false);

}  // namespace pelorin
