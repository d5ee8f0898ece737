// The checks a send or a preview request passes before anything is read from
// the worksheet: the message, the do-not-disturb time window and the rows.
#pragma once

#include <string>
#include <string_view>

#include "core/host/clock.h"
#include "core/messaging/send_request.h"

namespace pelorin {

namespace send_messages {
inline constexpr std::string_view kEmptyMessage = "Message should not be empty!!!";
inline constexpr std::string_view kDndWindow =
    "As per TRAI DND rule, message can be send/schedule between 9 AM to 9 PM !!!";
inline constexpr std::string_view kNoStartRow = "Please specify the start row!!!";
inline constexpr std::string_view kNoEndRow = "Please specify the end row!!!";
inline constexpr std::string_view kReversedRows = "Start row value should be less then End row";
inline constexpr std::string_view kInvalidRows = "Please enter valid Start row and End row";
inline constexpr std::string_view kNoRange = "Please specify the range!!!";
inline constexpr std::string_view kInvalidMultipleRange = "Please specify the valid Multiple Range!!!!";
inline constexpr std::string_view kProcessingError =
    "Error while processing. Plese check details and try!!!";
}  // namespace send_messages

// The DND status code that exempts an account from the time window.
inline constexpr std::string_view kDndExemptCode = "50";

// The schedule drop-downs' texts, as displayed.
struct ScheduleFields {
  std::string year, month, day;
  std::string start_hour, start_minute;
  std::string end_hour, end_minute;
};

// year "-" month "-" day "|" start hour "|" start minute "|" end hour "|" end minute.
std::string BuildScheduleText(const ScheduleFields& fields);

// True from 21:01 through 08:59: sending now would break the DND rule.
bool OutsideDndWindow(const LocalDateTime& now);

// What the send dialog's controls hold at the moment of a click.
struct SendDialogInput {
  std::string message;  // txtMessage, as typed
  bool multiple_range = false;
  std::string start_row, end_row;  // txtStartRow, txtEndRow
  std::string range_text;          // txtMultiRange
  bool send_later = false;
  ScheduleFields schedule;
  std::string dnd_code;  // the dialog's strDNDCode
  std::string mobile_column;
  bool flash = false;
  std::string sender_id;
};

// A refusal: the message to show and the control to focus (empty: none).
struct Refusal {
  std::string message;
  std::string focus;
};

struct SendValidation {
  enum class Outcome { kAccepted, kRefused, kNeedsLogin };
  Outcome outcome = Outcome::kRefused;
  SendRequest request;  // when accepted
  Refusal refusal;      // when refused
};

SendValidation ValidateSend(const SendDialogInput& input, bool logged_in, const LocalDateTime& now);

// What a preview lists: a simple range is checked in advance, a multiple
// range only while the preview is filled.
struct PreviewRequest {
  std::string message_template;  // trimmed
  std::string mobile_column;
  bool multiple_range = false;
  RowRange rows;           // simple range
  std::string range_text;  // multiple range, unchecked
};

struct PreviewValidation {
  bool accepted = false;
  PreviewRequest request;
  Refusal refusal;
};

PreviewValidation ValidatePreview(const SendDialogInput& input);

}  // namespace pelorin
