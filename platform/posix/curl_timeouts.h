// How a request's single time-out becomes libcurl's limits.
#pragma once

#include <chrono>
#include <optional>

namespace pelorin::posix {

struct CurlTimeouts {
  std::chrono::milliseconds connect;  // resolving and connecting
  std::chrono::milliseconds overall;  // the whole exchange; zero means none
  std::chrono::seconds stall;         // sending or receiving without progress
};

// A given time-out bounds each step and the whole exchange alike. Without
// one (or with one not above zero) the usual platform defaults apply: 60 s to
// connect, 30 s without progress while sending or receiving, no overall cap.
CurlTimeouts TimeoutsFor(std::optional<std::chrono::milliseconds> timeout);

}  // namespace pelorin::posix
