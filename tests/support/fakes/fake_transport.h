// A transport that records every request and answers from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/host/http_transport.h"

namespace pelorin::testing {

class FakeTransport : public HttpTransport {
 public:
  std::string Post(const HttpRequest& request) override {
    requests.push_back(request);
    if (responder) return responder(request);
    if (replies.empty()) throw TransportError("no reply scripted");
    std::string reply = replies.front();
    replies.pop_front();
    if (reply == kFail) throw TransportError("The server name or address could not be resolved");
    return reply;
  }

  // Scripted replies, one per request; kFail makes that request fail.
  static constexpr const char* kFail = "<transport failure>";
  std::deque<std::string> replies;
  // When set, answers every request instead of the script.
  std::function<std::string(const HttpRequest&)> responder;
  std::vector<HttpRequest> requests;
};

}  // namespace pelorin::testing
