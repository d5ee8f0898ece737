#include "core/messaging/send_validation.h"

#include <optional>

#include "core/messaging/row_ranges.h"
#include "core/text/replace.h"

namespace pelorin {
namespace {

namespace msg = send_messages;

Refusal Refuse(std::string_view message, std::string_view focus = {}) {
  return {std::string(message), std::string(focus)};
}

// The checks a simple range shares between send and preview; `require_positive`
// adds the send's refusal of row 0.
std::optional<Refusal> CheckSimpleRange(const SendDialogInput& input, bool require_positive,
                                        RowRange& rows) {
  if (TrimSpaces(input.start_row).empty()) return Refuse(msg::kNoStartRow, "txtStartRow");
  if (TrimSpaces(input.end_row).empty()) return Refuse(msg::kNoEndRow, "txtEndRow");
  std::optional<std::int64_t> first = ParseRowNumber(input.start_row);
  std::optional<std::int64_t> last = ParseRowNumber(input.end_row);
  if (!first || !last) return Refuse(msg::kInvalidRows, "txtStartRow");
  if (*first > *last) return Refuse(msg::kReversedRows, "txtStartRow");
  if (require_positive && (*first < 1 || *last < 1)) return Refuse(msg::kInvalidRows, "txtStartRow");
  rows = {*first, *last};
  return std::nullopt;
}

std::optional<Refusal> CheckMultipleRange(const SendDialogInput& input, std::vector<RowRange>& ranges) {
  if (input.range_text.empty()) return Refuse(msg::kNoRange);
  MultipleRange parsed = ParseMultipleRange(input.range_text);
  switch (parsed.fault) {
    case RangeFault::kMalformed:
      return Refuse(msg::kInvalidMultipleRange);
    case RangeFault::kReversed:
      return Refuse(msg::kReversedRows, "txtMultiRange");
    case RangeFault::kNone:
      break;
  }
  ranges = std::move(parsed.ranges);
  return std::nullopt;
}

}  // namespace

std::string BuildScheduleText(const ScheduleFields& f) {
  return f.year + "-" + f.month + "-" + f.day + "|" + f.start_hour + "|" + f.start_minute + "|" +
         f.end_hour + "|" + f.end_minute;
}

bool OutsideDndWindow(const LocalDateTime& now) {
  if (now.hour < 9 || now.hour >= 22) return true;
  return now.hour == 21 && now.minute > 0;
}

SendValidation ValidateSend(const SendDialogInput& input, bool logged_in, const LocalDateTime& now) {
  SendValidation result;
  auto refuse = [&result](Refusal refusal) {
    result.outcome = SendValidation::Outcome::kRefused;
    result.refusal = std::move(refusal);
    return result;
  };
  if (!logged_in) {
    result.outcome = SendValidation::Outcome::kNeedsLogin;
    return result;
  }
  if (input.message.empty()) return refuse(Refuse(msg::kEmptyMessage, "txtMessage"));

  SendRequest& request = result.request;
  request.message_template = std::string(TrimSpaces(input.message));
  bool exempt = input.send_later || input.dnd_code == kDndExemptCode;
  if (!exempt && OutsideDndWindow(now)) return refuse(Refuse(msg::kDndWindow, "txtMessage"));

  request.multiple_range = input.multiple_range;
  if (input.multiple_range) {
    if (auto refusal = CheckMultipleRange(input, request.ranges)) return refuse(*refusal);
  } else {
    RowRange rows;
    if (auto refusal = CheckSimpleRange(input, true, rows)) return refuse(*refusal);
    request.ranges = {rows};
  }

  request.mobile_column = input.mobile_column;
  request.schedule = input.send_later ? BuildScheduleText(input.schedule) : std::string();
  request.flash = input.flash;
  request.sender_id = input.sender_id;
  result.outcome = SendValidation::Outcome::kAccepted;
  return result;
}

PreviewValidation ValidatePreview(const SendDialogInput& input) {
  PreviewValidation result;
  if (input.message.empty()) {
    result.refusal = Refuse(msg::kEmptyMessage, "txtMessage");
    return result;
  }
  PreviewRequest& request = result.request;
  request.message_template = std::string(TrimSpaces(input.message));
  request.mobile_column = input.mobile_column;
  request.multiple_range = input.multiple_range;
  if (input.multiple_range) {
    if (input.range_text.empty()) {
      result.refusal = Refuse(msg::kNoRange);
      return result;
    }
    request.range_text = input.range_text;
  } else if (auto refusal = CheckSimpleRange(input, false, request.rows)) {
    result.refusal = *refusal;
    return result;
  }
  result.accepted = true;
  return result;
}

}  // namespace pelorin
