#include "core/messaging/exclusion_list.h"

#include "core/text/replace.h"

namespace pelorin {

void ExclusionList::Add(std::string_view entry) {
  const std::string_view trimmed = TrimSpaces(entry);
  if (trimmed.empty()) return;
  NumberReading reading = numbers_.Read(trimmed, region_);
  if (reading.kind == NumberKind::kNotANumber) {
    unreadable_.emplace_back(trimmed);
    return;
  }
  numbers_on_list_.insert(std::move(reading.e164));
}

bool ExclusionList::ContainsNumber(std::string_view e164) const {
  return !e164.empty() && numbers_on_list_.contains(std::string(e164));
}

bool ExclusionList::Skips(std::string_view mobile) const {
  if (numbers_on_list_.empty()) return false;
  const NumberReading reading = numbers_.Read(mobile, region_);
  return reading.kind != NumberKind::kNotANumber && ContainsNumber(reading.e164);
}

std::vector<std::string> SplitListLines(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace pelorin
