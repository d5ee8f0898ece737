// The numbers a user never wants to message: each entry read as a number of
// the region, so that "+91 98765 43210" on the list also names the row that
// holds 09876543210.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/host/phone_numbers.h"
#include "core/messaging/message_merge.h"

namespace pelorin {

class ExclusionList : public RowFilter {
 public:
  ExclusionList(const PhoneNumbers& numbers, std::string region)
      : numbers_(numbers), region_(std::move(region)) {}

  // Adds one entry as written; blank entries are passed over, and entries
  // that hold no number are kept in unreadable() and match nothing.
  void Add(std::string_view entry);

  // True when the number, in E.164 form, is on the list.
  bool ContainsNumber(std::string_view e164) const;
  // True when `mobile`, read as a number of the region, is on the list.
  bool Skips(std::string_view mobile) const override;

  std::size_t size() const { return numbers_on_list_.size(); }
  const std::vector<std::string>& unreadable() const { return unreadable_; }

 private:
  const PhoneNumbers& numbers_;
  std::string region_;
  std::unordered_set<std::string> numbers_on_list_;
  std::vector<std::string> unreadable_;
};

// The entries of a plain list: one a line, line ends "\n" or "\r\n", a
// leading byte-order mark dropped.
std::vector<std::string> SplitListLines(std::string_view text);

}  // namespace pelorin
