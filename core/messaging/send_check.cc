#include "core/messaging/send_check.h"

#include <algorithm>
#include <utility>

#include "core/host/worksheet.h"
#include "core/messaging/exclusion_list.h"
#include "core/messaging/message_merge.h"
#include "core/messaging/message_template.h"

namespace pelorin {
namespace {

// Rows merged at a time: bounds the cell views held, whatever the range.
constexpr std::int64_t kRowsPerBlock = 4096;

// A number in E.164 form as one integer (at most 15 digits after "+"), so
// a million of them sort in a few megabytes.
std::optional<std::uint64_t> NumberKey(std::string_view e164) {
  if (e164.size() < 2 || e164.size() > 19 || e164.front() != '+') return std::nullopt;
  std::uint64_t key = 0;
  for (char c : e164.substr(1)) {
    if (c < '0' || c > '9') return std::nullopt;
    key = key * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return key;
}

class CheckVisitor : public MergedRowVisitor {
 public:
  CheckVisitor(const PhoneNumbers& numbers, const std::string& region,
               const ExclusionList* excluded, SendCheckReport& report)
      : numbers_(numbers), region_(region), excluded_(excluded), report_(report) {}

  void OnEmptyRow(std::int64_t row) override {
    ++report_.empty_row_count;
    std::vector<RowRange>& runs = report_.empty_rows;
    if (!runs.empty() && runs.back().last + 1 == row) {
      runs.back().last = row;
    } else {
      runs.push_back({row, row});
    }
  }

  void OnMessage(std::int64_t row, std::string_view mobile, std::string_view message) override {
    NumberReading reading = numbers_.Read(mobile, region_);
    if (excluded_ != nullptr && reading.kind != NumberKind::kNotANumber &&
        excluded_->ContainsNumber(reading.e164)) {
      report_.excluded.push_back({row, std::string(mobile)});
      return;
    }
    Count(CountSegments(message));
    if (reading.kind != NumberKind::kMobile) {
      report_.invalid.push_back({row, std::string(mobile), reading.kind});
      return;
    }
    if (std::optional<std::uint64_t> key = NumberKey(reading.e164)) {
      numbers_seen_.push_back({*key, row});
    } else {
      odd_numbers_seen_.push_back({std::move(reading.e164), row});
    }
  }

  // Gathers the numbers met more than once, each with all its rows.
  void CollectDuplicates() {
    std::stable_sort(numbers_seen_.begin(), numbers_seen_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < numbers_seen_.size();) {
      std::size_t end = i + 1;
      while (end < numbers_seen_.size() && numbers_seen_[end].first == numbers_seen_[i].first) {
        ++end;
      }
      if (end - i > 1) {
        DuplicateNumber duplicate{"+" + std::to_string(numbers_seen_[i].first), {}};
        for (std::size_t k = i; k < end; ++k) duplicate.rows.push_back(numbers_seen_[k].second);
        report_.duplicates.push_back(std::move(duplicate));
      }
      i = end;
    }
    std::stable_sort(odd_numbers_seen_.begin(), odd_numbers_seen_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < odd_numbers_seen_.size();) {
      std::size_t end = i + 1;
      while (end < odd_numbers_seen_.size() &&
             odd_numbers_seen_[end].first == odd_numbers_seen_[i].first) {
        ++end;
      }
      if (end - i > 1) {
        DuplicateNumber duplicate{odd_numbers_seen_[i].first, {}};
        for (std::size_t k = i; k < end; ++k) duplicate.rows.push_back(odd_numbers_seen_[k].second);
        report_.duplicates.push_back(std::move(duplicate));
      }
      i = end;
    }
    // In the order the sheet shows them; a repeated range can put a later
    // row first in the run, so the rows are listed as the run meets them.
    std::sort(report_.duplicates.begin(), report_.duplicates.end(),
              [](const DuplicateNumber& a, const DuplicateNumber& b) {
                return a.rows.front() < b.rows.front();
              });
  }

 private:
  void Count(const MessageCost& cost) {
    ++report_.messages;
    report_.segments += cost.segments;
    ++(cost.encoding == MessageEncoding::kGsm7 ? report_.gsm_messages : report_.ucs2_messages);
    ++report_.messages_by_segments[cost.segments];
  }

  const PhoneNumbers& numbers_;
  const std::string& region_;
  const ExclusionList* excluded_;
  SendCheckReport& report_;
  std::vector<std::pair<std::uint64_t, std::int64_t>> numbers_seen_;
  std::vector<std::pair<std::string, std::int64_t>> odd_numbers_seen_;
};

}  // namespace

SendCheckReport SendCheck::Run(const Worksheet& sheet, const SendRequest& request) const {
  SendCheckReport report;
  report.region = region_;
  CheckVisitor visitor(numbers_, region_, excluded_, report);
  MessageMerge merge(sheet, request.mobile_column, MessageTemplate(request.message_template));
  std::int64_t empty_rows = 0;
  try {
    for (const RowRange& range : request.ranges) {
      if (range.first > range.last) continue;
      report.rows += range.last - range.first + 1;
      for (std::int64_t first = range.first; first <= range.last; first += kRowsPerBlock) {
        const std::int64_t last = std::min(range.last, first + kRowsPerBlock - 1);
        merge.VisitRows({first, last}, empty_rows, visitor);
      }
    }
  } catch (const std::exception& failure) {
    report.error = failure.what();
  }
  visitor.CollectDuplicates();
  return report;
}

SendValidation ValidateCheckRequest(SendDialogInput input) {
  input.send_later = true;  // a check is not bound to the hours a send is
  SendValidation checked = ValidateSend(input, /*logged_in=*/true, LocalDateTime{});
  checked.request.schedule.clear();
  return checked;
}

}  // namespace pelorin
