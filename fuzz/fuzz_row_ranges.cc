// Multiple-range texts and row bounds as a user may type or paste them.
#include <cstdlib>
#include <string_view>

#include "core/messaging/row_ranges.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  pelorin::ParseRowNumber(text);
  for (std::string_view item : pelorin::SplitRangeItems(text)) pelorin::SplitRangeItem(item);
  pelorin::MultipleRange range = pelorin::ParseMultipleRange(text);
  if (range.fault != pelorin::RangeFault::kNone &&
      range.fault_item >= pelorin::SplitRangeItems(text).size()) {
    std::abort();
  }
  return 0;
}
