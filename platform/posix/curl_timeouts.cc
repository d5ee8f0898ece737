#include "platform/posix/curl_timeouts.h"

namespace pelorin::posix {

CurlTimeouts TimeoutsFor(std::optional<std::chrono::milliseconds> timeout) {
  using std::chrono::ceil;
  using std::chrono::milliseconds;
  using std::chrono::seconds;
  if (!timeout || timeout->count() <= 0) return {seconds(60), milliseconds(0), seconds(30)};
  // libcurl counts stalls in whole seconds.
  seconds stall = ceil<seconds>(*timeout);
  return {*timeout, *timeout, stall};
}

}  // namespace pelorin::posix
