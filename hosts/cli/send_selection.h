// The selection flags of `send` and `preview`, and how they fill the send
// dialog's controls: the command line types into the same boxes a user
// would, so the dialog's own key filters and lists decide what is accepted.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "core/host/clock.h"

namespace pelorin::forms {
class Form;
}

namespace pelorin::cli {

// A flag value the dialog would not take; what() names the flag.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct SendSelection {
  std::string sheet;  // name or 1-based number; empty: the active sheet
  std::string mobile_column = "A";
  std::string message;
  std::optional<std::string> rows;    // "FIRST-LAST"
  std::optional<std::string> ranges;  // "3-9,35-71"
  std::optional<std::string> sender;
  bool flash = false;
  std::optional<std::string> later;  // "YYYY-MM-DD HH:MM"
};

// Types `value` into the dialog's box as a user would; the box's own key
// filters and length limit decide. Throws UsageError naming `what` when the
// box does not take all of it.
void TypeIntoBox(forms::Form& form, const char* box, const std::string& value, const char* what);

// Checks what can be checked before any workbook is read or request made.
// Throws UsageError.
void CheckSendSelection(const SendSelection& selection);

// Refuses a --later time that is not after `now`. Throws UsageError.
void CheckLaterIsAhead(const SendSelection& selection, const LocalDateTime& now);

// Fills the loaded send dialog from the flags. Throws UsageError when a
// box refuses a character or a list does not offer the value asked for.
void FillSendForm(forms::Form& send_form, const SendSelection& selection);

}  // namespace pelorin::cli
