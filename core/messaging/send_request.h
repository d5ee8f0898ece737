// A checked send request: what the send dialog hands to the send run once
// its validation has passed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelorin {

// Worksheet rows first..last, both included, counted from 1.
struct RowRange {
  std::int64_t first = 0;
  std::int64_t last = 0;
  friend bool operator==(const RowRange&, const RowRange&) = default;
};

struct SendRequest {
  std::string message_template;  // trimmed of leading and trailing spaces
  std::string mobile_column;     // ddlMCol, e.g. "B"
  bool multiple_range = false;   // false: one simple range
  std::vector<RowRange> ranges;  // one item for a simple range; in written order
  std::string schedule;          // empty unless Send Later is checked
  bool flash = false;
  std::string sender_id;         // the ddlSenderID text, not yet encoded
};

}  // namespace pelorin
