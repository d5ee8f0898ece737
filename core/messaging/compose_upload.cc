#include "core/messaging/compose_upload.h"

#include <exception>

#include "core/service/service_client.h"
#include "core/service/service_pages.h"
#include "core/service/url_encode.h"
#include "core/settings/local_ip.h"
#include "core/settings/settings_store.h"
#include "core/settings/value_names.h"
#include "core/text/replace.h"

namespace pelorin {
namespace {

constexpr std::string_view kBodyStart = "variable1=";

}  // namespace

std::string ComposeUpload::StartBody() { return std::string(kBodyStart); }

std::string ComposeUpload::Send(std::string body, std::string_view state) {
  try {
    body += "&variable2=";
    body += request_.schedule;
    body += "&variable3=";
    body += request_.flash ? "Y" : "N";
    return context_.service.PostEncodedForm(Url(state), std::move(body));
  } catch (const std::exception&) {
    return std::string(kTransportError);
  }
}

// Every value but the sender ID is percent-encoded so that none can add or
// cut a parameter; the sender ID keeps the form encoding the service knows.
// The user, address and category are read afresh for every packet, as every
// reader of the store does.
std::string ComposeUpload::Url(std::string_view state) const {
  const SettingsStore& settings = context_.settings;
  std::string url = service_pages::Url(settings.ServiceHost(), service_pages::kCompose);
  url = ReplaceAll(url, "!UID!", PercentEncodeQueryValue(settings.SessionUserId()));
  url = ReplaceAll(url, "!IP!", PercentEncodeQueryValue(strGetLocalIP(context_.network)));
  url = ReplaceAll(url, "!STATE!", PercentEncodeQueryValue(state));
  url = ReplaceAll(url, "!FILENAME!", PercentEncodeQueryValue(file_name_));
  url = ReplaceAll(url, "!CATID!",
                   PercentEncodeQueryValue(settings.strGetSetting(value_names::kDndStatus)));
  return ReplaceAll(url, "!SID!", strURLEncode(request_.sender_id));
}

}  // namespace pelorin
