// Checks of a send request that catch plain mistakes before the first packet
// goes out, so that nothing is half sent: text the service cannot take,
// rows that would get two messages, rows or a mobile column with nothing in
// them. Each answers a one-line reason, or nothing when the request passes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/host/worksheet.h"
#include "core/messaging/send_request.h"

namespace pelorin {

// Rows that two items of the request name: "3-9 and 5-12 overlap: rows 5-9
// would get two messages".
std::optional<std::string> FindOverlappingRanges(const std::vector<RowRange>& ranges);

// The first cell of the selected rows, in the mobile column or a column the
// template names, whose text is not UTF-8 or holds a NUL character:
// "row 4502, column B: the text is not valid UTF-8". The template itself is
// checked first.
std::optional<std::string> FindBadText(const Worksheet& sheet, const SendRequest& request);

// The used part of a sheet: its last row and last column holding a value.
struct UsedRange {
  std::int64_t rows = 0;
  int columns = 0;
};

// Items that start past the last used row, or reach so far past it that a
// whole packet of `packet_size` rows would hold nothing (the run would stop
// there, left open), or a mobile column empty in every selected row; the
// reason names the sheet's used rows and columns. A few empty rows at the
// end of an item are fine: they only yield no messages.
std::optional<std::string> FindRowsWithoutData(const Worksheet& sheet, const SendRequest& request,
                                               UsedRange used, std::int64_t packet_size);

}  // namespace pelorin
