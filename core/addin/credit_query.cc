#include "core/addin/credit_query.h"

#include "core/addin/addin_context.h"
#include "core/addin/web_links.h"
#include "core/host/clock.h"
#include "core/host/user_interface.h"
#include "core/service/service_client.h"
#include "core/service/service_pages.h"
#include "core/service/timestamp.h"
#include "core/service/url_encode.h"
#include "core/settings/settings_store.h"
#include "core/text/replace.h"

namespace pelorin {

std::string CreditQuery::Url() const {
  std::string url = service_pages::Url(context_.settings.ServiceHost(), service_pages::kCreditDetails);
  url = ReplaceAllIgnoreCase(std::move(url), "!UID!",
                             PercentEncodeQueryValue(context_.settings.SessionUserId()));
  return ReplaceAllIgnoreCase(std::move(url), "!TICK!",
                              PercentEncodeQueryValue(FormatTimestamp(context_.clock.Now())));
}

std::string CreditQuery::Run() { return context_.service.strHttpPost(Url()); }

void CreditQuery::ShowBalance() {
  std::string text;
  try {
    text = std::string(kAvailableCredits) + Run();
  } catch (...) {
    text = std::string(kOpenPageError);
  }
  context_.ui.MessageBox(text, message_box::kOkOnly, message_box::kDefaultTitle);
}

bool CreditQuery::AllowsSend() {
  if (!EqualsIgnoreCase(Run(), "0")) return true;
  context_.ui.MessageBox(kInsufficientCredits, message_box::kOkOnly, message_box::kDefaultTitle);
  return false;
}

}  // namespace pelorin
