// The two requests every exchange with the service goes through. Each reads
// the proxy afresh from the store and answers the response body, or "ERROR".
#pragma once

#include <string>
#include <string_view>

#include "core/host/http_transport.h"

namespace pelorin {

class SettingsStore;
class UserInterface;

inline constexpr std::string_view kTransportError = "ERROR";

class ServiceClient {
 public:
  ServiceClient(HttpTransport& transport, const SettingsStore& settings, UserInterface& ui)
      : transport_(transport), settings_(settings), ui_(ui) {}

  // A POST with no body and no content type; a failure answers "ERROR"
  // without a message.
  std::string strHttpPost(const std::string& url);

  // A POST of the form "variable1=" + strURLEncode(field1) + "&variable2=" +
  // field2 + "&variable3=" + field3; a failure shows its description in a
  // message box and answers "ERROR".
  std::string strHttpPostForm(const std::string& url, std::string_view field1,
                              std::string_view field2, std::string_view field3);
  // The same with field 1 already encoded (the send run encodes as it merges).
  std::string PostEncodedForm(const std::string& url, std::string body);

  static std::string BuildFormBody(std::string_view field1, std::string_view field2,
                                   std::string_view field3);

 private:
  HttpRequest NewRequest(const std::string& url) const;

  HttpTransport& transport_;
  const SettingsStore& settings_;
  UserInterface& ui_;
};

}  // namespace pelorin
