#include "compose_records.h"

namespace pelorin::provider {
namespace {

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

RecordSplit SplitRecords(std::string_view text) {
  RecordSplit split;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(kRecordTerminator, start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view piece = text.substr(start, end - start);
    size_t separator = piece.find(kFieldSeparator);
    if (separator == std::string_view::npos || IsBlank(piece.substr(0, separator))) {
      split.bad_record = split.records.size() + 1;
      split.bad_offset = start;
      split.problem = separator == std::string_view::npos
                          ? "has no |*^ between mobile number and message"
                          : "has an empty mobile number";
      split.records.clear();
      return split;
    }
    split.records.push_back(
        {std::string(piece.substr(0, separator)),
         std::string(piece.substr(separator + kFieldSeparator.size()))});
    start = end + kRecordTerminator.size();
  }
  return split;
}

}  // namespace pelorin::provider
