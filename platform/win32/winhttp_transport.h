// HTTP POST through WinHTTP's flat API: a session, connection and request
// of their own for every call, the proxy named explicitly when one is given.
#pragma once

#include <string>

#include "core/host/http_transport.h"

namespace pelorin::win32 {

class WinHttpTransport : public HttpTransport {
 public:
  // The response body, whatever the status; throws TransportError with
  // WinHTTP's own description when no response arrived.
  std::string Post(const HttpRequest& request) override;
};

}  // namespace pelorin::win32
