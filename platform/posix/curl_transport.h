// HTTP POST over libcurl: one fresh connection per request, the proxy only
// when the request names one, the body returned whatever the status.
#pragma once

#include <string>

#include "core/host/http_transport.h"

namespace pelorin::posix {

class CurlTransport : public HttpTransport {
 public:
  // Initialises libcurl once per process; throws TransportError if it cannot.
  CurlTransport();

  // Environment proxy variables are never used: the request's proxy or none.
  std::string Post(const HttpRequest& request) override;
};

}  // namespace pelorin::posix
