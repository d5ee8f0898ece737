// Row ranges as the send dialog names them: a simple start/end pair or a
// multiple-range text such as "3-9,35-71", read into worksheet row ranges.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/messaging/send_request.h"

namespace pelorin {

// A row bound as typed: trimmed of spaces, then decimal digits only. Anything
// else (a decimal point, a sign, pasted text, a number too large) is nullopt,
// so a bad bound is refused by a message rather than by a conversion error.
std::optional<std::int64_t> ParseRowNumber(std::string_view text);

// The largest row number a range may name: what the seven-character row
// boxes can hold. Far past any worksheet, and far enough from the integer
// limit that walking to the last row of a packet cannot overflow.
inline constexpr std::int64_t kMaxRowNumber = 9'999'999;

// The items of a multiple-range text, cut at every ",", in written order;
// an empty text is one empty item.
std::vector<std::string_view> SplitRangeItems(std::string_view text);

// The two bounds of one item "first-last", each trimmed; nullopt unless the
// item is exactly two parts around one "-" and neither part is empty.
std::optional<std::pair<std::string_view, std::string_view>> SplitRangeItem(std::string_view item);

enum class RangeFault {
  kNone,
  kMalformed,  // not "first-last", an empty or non-numeric bound, row 0
  kReversed,   // first row greater than last row
};

struct MultipleRange {
  std::vector<RowRange> ranges;  // the items in written order, when no fault
  RangeFault fault = RangeFault::kNone;
  std::size_t fault_item = 0;  // index of the first item at fault
};

// Reads a multiple-range text for a send. The items are checked in order and
// the first faulty one decides the fault; overlapping and repeated items are
// kept as written.
MultipleRange ParseMultipleRange(std::string_view text);

}  // namespace pelorin
