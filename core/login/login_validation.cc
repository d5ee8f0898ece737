#include "core/login/login_validation.h"

#include "core/service/service_pages.h"
#include "core/service/url_encode.h"
#include "core/text/replace.h"

namespace pelorin::login {

std::vector<std::string> SplitReplyFields(std::string_view reply) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    std::size_t found = reply.find(kReplySeparator, start);
    if (found == std::string_view::npos) break;
    fields.emplace_back(reply.substr(start, found - start));
    start = found + kReplySeparator.size();
  }
  fields.emplace_back(reply.substr(start));
  return fields;
}

LoginReply ClassifyLoginReply(std::string_view reply) {
  LoginReply outcome;
  if (reply == kBareSuccessReply) {
    outcome.result = kSuccess;
  } else if (reply == kFirstLoginReply) {
    outcome.result = kChangePassword;
    return outcome;
  } else {
    outcome.result = kFail;
  }
  if (reply.empty()) return outcome;

  std::vector<std::string> fields = SplitReplyFields(reply);
  if (fields.size() == 3) {
    outcome.result = kSuccess;
    outcome.dnd_status = fields[2];
    outcome.success_message = fields[1];
  } else if (fields.size() == 2) {
    outcome.result = kFail;
    outcome.fail_message = fields[1];
  }
  return outcome;
}

UpdateReply ClassifyUpdateReply(std::string_view reply) {
  UpdateReply outcome;
  if (reply.empty() || reply == kFirstLoginReply) return outcome;

  std::vector<std::string> fields = SplitReplyFields(reply);
  if (fields.size() == 1) {
    outcome.notice = UpdateNotice::kHidden;
  } else if (fields.size() == 2) {
    const std::string& kind = fields[0];
    const std::string& address = fields[1];
    if (address != "NO") outcome.download_url = address;
    if (kind == "MAJOR") outcome.notice = UpdateNotice::kStop;
  }
  return outcome;
}

std::string LoginValidationUrl(std::string_view host, std::string_view user_id,
                               std::string_view password, std::string_view local_ip,
                               std::string_view version) {
  std::string url = service_pages::Url(host, service_pages::kUserValidation);
  url = ReplaceAll(std::move(url), "!UID!", PercentEncodeQueryValue(user_id));
  url = ReplaceAll(std::move(url), "!PWD!", PercentEncodeQueryValue(password));
  url = ReplaceAll(std::move(url), "!IP!", PercentEncodeQueryValue(local_ip));
  url = ReplaceAll(std::move(url), "!VERSION!", PercentEncodeQueryValue(version));
  return url;
}

std::string UpdateCheckUrl(std::string_view host, std::string_view version) {
  std::string url = service_pages::Url(host, service_pages::kUserValidation);
  url = ReplaceAll(std::move(url), "!VERSION!", PercentEncodeQueryValue(version));
  url += "&type=loading";
  return url;
}

}  // namespace pelorin::login
