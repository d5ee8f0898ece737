// The check before a send: what the selection a send would use costs in
// messages and segments, and which of its rows would fail or be wasted
// (numbers that are no valid mobile number, the same number twice, empty
// rows, numbers on the exclusion list). Merges as the send does and sends
// nothing.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/host/phone_numbers.h"
#include "core/messaging/message_segments.h"
#include "core/messaging/send_request.h"
#include "core/messaging/send_validation.h"

namespace pelorin {

class ExclusionList;
class Worksheet;

struct NumberProblem {
  std::int64_t row = 0;
  std::string mobile;  // as the record would carry it
  NumberKind kind = NumberKind::kNotANumber;
  friend bool operator==(const NumberProblem&, const NumberProblem&) = default;
};

struct ExcludedRow {
  std::int64_t row = 0;
  std::string mobile;
  friend bool operator==(const ExcludedRow&, const ExcludedRow&) = default;
};

struct DuplicateNumber {
  std::string e164;
  std::vector<std::int64_t> rows;  // every row it is on, the first included
  friend bool operator==(const DuplicateNumber&, const DuplicateNumber&) = default;
};

struct SendCheckReport {
  std::string region;
  std::int64_t rows = 0;      // rows the selection names, empty ones included
  std::int64_t messages = 0;  // records a send would upload
  std::int64_t segments = 0;  // what they are billed as
  std::int64_t gsm_messages = 0;
  std::int64_t ucs2_messages = 0;
  std::map<std::int64_t, std::int64_t> messages_by_segments;  // segments -> messages

  std::int64_t empty_row_count = 0;
  std::vector<RowRange> empty_rows;  // runs of consecutive empty rows, in order
  std::vector<NumberProblem> invalid;
  std::vector<DuplicateNumber> duplicates;  // by first row
  std::vector<ExcludedRow> excluded;
  std::string error;  // where a send would stop ("row 17: ..."); empty when none

  std::optional<std::int64_t> credits;  // what the service reports, when asked

  // One credit per segment.
  bool TooLittleCredit() const { return credits.has_value() && *credits < segments; }
  // True when some row would fail: an invalid number, too little credit, or
  // a cell the send could not read.
  bool WouldFail() const { return !invalid.empty() || TooLittleCredit() || !error.empty(); }
};

class SendCheck {
 public:
  // `excluded` may be null: no row is then left out.
  SendCheck(const PhoneNumbers& numbers, std::string region, const ExclusionList* excluded)
      : numbers_(numbers), region_(std::move(region)), excluded_(excluded) {}

  // Reads the rows of `request` from `sheet` range by range as the send
  // would (an overlapping range is read, and counted, twice).
  SendCheckReport Run(const Worksheet& sheet, const SendRequest& request) const;

 private:
  const PhoneNumbers& numbers_;
  std::string region_;
  const ExclusionList* excluded_;
};

// The send dialog's checks of the message and the rows, less the login and
// the time of day, which do not change what a send would carry.
SendValidation ValidateCheckRequest(SendDialogInput input);

}  // namespace pelorin
