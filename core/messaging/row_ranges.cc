#include "core/messaging/row_ranges.h"

#include "core/text/replace.h"

namespace pelorin {

std::optional<std::int64_t> ParseRowNumber(std::string_view text) {
  std::string_view digits = TrimSpaces(text);
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > kMaxRowNumber) return std::nullopt;
  }
  return value;
}

std::vector<std::string_view> SplitRangeItems(std::string_view text) {
  std::vector<std::string_view> items;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return items;
}

std::optional<std::pair<std::string_view, std::string_view>> SplitRangeItem(std::string_view item) {
  std::size_t hyphen = item.find('-');
  if (hyphen == std::string_view::npos) return std::nullopt;
  if (item.find('-', hyphen + 1) != std::string_view::npos) return std::nullopt;
  std::string_view first = TrimSpaces(item.substr(0, hyphen));
  std::string_view last = TrimSpaces(item.substr(hyphen + 1));
  if (first.empty() || last.empty()) return std::nullopt;
  return std::pair{first, last};
}

MultipleRange ParseMultipleRange(std::string_view text) {
  MultipleRange result;
  std::vector<std::string_view> items = SplitRangeItems(text);
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto bounds = SplitRangeItem(items[i]);
    std::optional<std::int64_t> first, last;
    if (bounds) {
      first = ParseRowNumber(bounds->first);
      last = ParseRowNumber(bounds->second);
    }
    // Row 0 (however many zeros are written) names no worksheet row; letting
    // it through would only fail later, in the middle of an upload.
    if (!first || !last || *first < 1 || *last < 1) {
      return {{}, RangeFault::kMalformed, i};
    }
    if (*first > *last) return {{}, RangeFault::kReversed, i};
    result.ranges.push_back({*first, *last});
  }
  return result;
}

}  // namespace pelorin
