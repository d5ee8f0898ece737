#include "core/service/service_client.h"

#include <exception>

#include "core/host/user_interface.h"
#include "core/service/url_encode.h"
#include "core/settings/settings_store.h"
#include "core/settings/value_names.h"

namespace pelorin {
namespace {

// The upload waits this long for each of resolving, connecting, sending and
// receiving: a large packet can take the service minutes to accept.
constexpr std::chrono::milliseconds kFormTimeout{1'000'000};

}  // namespace

HttpRequest ServiceClient::NewRequest(const std::string& url) const {
  HttpRequest request;
  request.url = url;
  std::string address = settings_.strGetSetting(value_names::kProxyAddress);
  std::string port = settings_.strGetSetting(value_names::kProxyPort);
  if (!address.empty() && !port.empty()) request.proxy = HttpProxy{address, port};
  return request;
}

std::string ServiceClient::strHttpPost(const std::string& url) {
  try {
    return transport_.Post(NewRequest(url));
  } catch (const std::exception&) {
    return std::string(kTransportError);
  }
}

std::string ServiceClient::BuildFormBody(std::string_view field1, std::string_view field2,
                                         std::string_view field3) {
  std::string body = "variable1=";
  body += strURLEncode(field1);
  body += "&variable2=";
  body += field2;
  body += "&variable3=";
  body += field3;
  return body;
}

std::string ServiceClient::strHttpPostForm(const std::string& url, std::string_view field1,
                                           std::string_view field2, std::string_view field3) {
  return PostEncodedForm(url, BuildFormBody(field1, field2, field3));
}

std::string ServiceClient::PostEncodedForm(const std::string& url, std::string body) {
  try {
    HttpRequest request = NewRequest(url);
    request.content_type = "application/x-www-form-urlencoded";
    request.timeout = kFormTimeout;
    request.body = std::move(body);
    return transport_.Post(request);
  } catch (const std::exception& error) {
    ui_.MessageBox(error.what(), message_box::kOkOnly, message_box::kDefaultTitle);
    return std::string(kTransportError);
  }
}

}  // namespace pelorin
