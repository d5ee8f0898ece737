#include "core/messaging/send_precheck.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "core/messaging/message_template.h"
#include "core/text/utf8.h"

namespace pelorin {
namespace {

// Rows read per block: the check must not hold a whole giant column at once.
constexpr std::int64_t kBlockRows = 4096;

std::string RowsText(std::int64_t first, std::int64_t last) {
  return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
}

std::string RangeText(const RowRange& range) { return RowsText(range.first, range.last); }

std::optional<std::string> TextFault(std::string_view text) {
  if (!utf8::IsValid(text)) return "the text is not valid UTF-8";
  if (text.find('\0') != std::string_view::npos) return "the text holds a NUL character";
  return std::nullopt;
}

// Calls `visit(row, text)` for every selected row of the column, block by
// block; stops when it answers true.
template <typename Visit>
bool ForEachCell(const Worksheet& sheet, const std::string& column,
                 const std::vector<RowRange>& ranges, Visit visit) {
  std::vector<std::string_view> cells;
  for (const RowRange& range : ranges) {
    for (std::int64_t first = range.first; first <= range.last; first += kBlockRows) {
      const std::int64_t last = std::min(range.last, first + kBlockRows - 1);
      cells.clear();
      sheet.ReadColumn(column, first, last, cells);
      for (std::size_t i = 0; i < cells.size(); ++i) {
        if (visit(first + static_cast<std::int64_t>(i), cells[i])) return true;
      }
    }
  }
  return false;
}

std::string UsedText(UsedRange used) {
  if (used.rows == 0) return "the sheet holds no values";
  std::string columns = "A";
  if (used.columns > 1) {
    std::string last;
    for (int n = used.columns; n > 0; n = (n - 1) / 26) {
      last.insert(last.begin(), static_cast<char>('A' + (n - 1) % 26));
    }
    columns += "-" + last;
  }
  return "the sheet uses rows " + RowsText(1, used.rows) + " and columns " + columns;
}

}  // namespace

std::optional<std::string> FindOverlappingRanges(const std::vector<RowRange>& ranges) {
  std::vector<std::size_t> order(ranges.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return ranges[a].first < ranges[b].first || (ranges[a].first == ranges[b].first && a < b);
  });
  // After sorting by first row, an overlap shows between neighbours or with
  // the item reaching furthest so far.
  std::optional<std::size_t> furthest;
  for (std::size_t index : order) {
    const RowRange& range = ranges[index];
    if (range.first > range.last) continue;  // names no rows
    if (furthest && ranges[*furthest].last >= range.first) {
      const RowRange& earlier = ranges[std::min(*furthest, index)];
      const RowRange& later = ranges[std::max(*furthest, index)];
      const std::int64_t from = std::max(earlier.first, later.first);
      const std::int64_t to = std::min(earlier.last, later.last);
      return RangeText(earlier) + " and " + RangeText(later) + " overlap: rows " +
             RowsText(from, to) + " would get two messages";
    }
    if (!furthest || range.last > ranges[*furthest].last) furthest = index;
  }
  return std::nullopt;
}

std::optional<std::string> FindBadText(const Worksheet& sheet, const SendRequest& request) {
  if (auto fault = TextFault(request.message_template)) return "the message: " + *fault;
  std::set<std::string> columns = {request.mobile_column};
  for (const std::string& column : MessageTemplate(request.message_template).ReferencedColumns()) {
    if (IsValidColumnName(column)) columns.insert(column);
  }
  std::optional<std::string> found;
  std::int64_t found_row = 0;
  for (const std::string& column : columns) {
    ForEachCell(sheet, column, request.ranges, [&](std::int64_t row, std::string_view text) {
      auto fault = TextFault(text);
      // The earliest row wins, whichever column it is in.
      if (fault && (!found || row < found_row)) {
        found = "row " + std::to_string(row) + ", column " + column + ": " + *fault;
        found_row = row;
      }
      return fault.has_value();
    });
  }
  return found;
}

std::optional<std::string> FindRowsWithoutData(const Worksheet& sheet, const SendRequest& request,
                                               UsedRange used, std::int64_t packet_size) {
  for (const RowRange& range : request.ranges) {
    if (range.first > range.last || range.last <= used.rows) continue;
    const std::int64_t rows_past = range.last - std::max(range.first - 1, used.rows);
    if (range.first > used.rows || rows_past >= packet_size) {
      return "rows " + RangeText(range) + " reach past the last row holding a value (" +
             UsedText(used) + ")";
    }
  }
  const bool any_mobile =
      ForEachCell(sheet, request.mobile_column, request.ranges,
                  [](std::int64_t, std::string_view text) {
                    return text.find_first_not_of(' ') != std::string_view::npos;
                  });
  if (!any_mobile) {
    return "column " + request.mobile_column + " holds no mobile number in the rows selected (" +
           UsedText(used) + ")";
  }
  return std::nullopt;
}

}  // namespace pelorin
