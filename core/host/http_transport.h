// One synchronous HTTP POST, a new connection each time; the rules of which
// headers, proxy and time-outs to use live in core/service.
#pragma once

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>

namespace pelorin {

struct HttpProxy {
  std::string address;  // as stored, e.g. "10.0.0.1"
  std::string port;     // as stored, e.g. "8080"
};

struct HttpRequest {
  std::string url;                          // sent as given, never re-encoded
  std::optional<std::string> content_type;  // no header when absent
  std::string body;                         // sent as is; empty means no body
  std::optional<HttpProxy> proxy;           // the platform default when absent
  // Applied to resolving, connecting, sending and receiving alike; the
  // platform's defaults (never below 30 s) when absent.
  std::optional<std::chrono::milliseconds> timeout;
};

// What a transport throws when no response arrived; what() is the
// platform's own description of the failure.
class TransportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class HttpTransport {
 public:
  virtual ~HttpTransport() = default;
  // The response body, whatever the HTTP status; throws TransportError.
  virtual std::string Post(const HttpRequest& request) = 0;
};

}  // namespace pelorin
