// Where the send dialog hands a request that passed its checks: the send
// run in the product, a recorder in tests.
#pragma once

#include <functional>

#include "core/messaging/send_request.h"

namespace pelorin {

using SendRequestHandler = std::function<void(const SendRequest& request)>;

}  // namespace pelorin
