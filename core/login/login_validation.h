// The user-validation page's rules: the two request URLs (login and update
// check) and what the login dialog makes of each reply text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::login {

// Replies are split into fields at every occurrence of this separator.
inline constexpr std::string_view kReplySeparator = "@#$&";
// The whole reply that asks for a first login on the service's web site.
inline constexpr std::string_view kFirstLoginReply = "1019";
// The whole reply of the service's earliest success form, with no fields.
inline constexpr std::string_view kBareSuccessReply = "0";

// The answers of a login attempt.
inline constexpr std::string_view kSuccess = "SUCCESS";
inline constexpr std::string_view kFail = "FAIL";
inline constexpr std::string_view kChangePassword = "CHANGE_PWD";
inline constexpr std::string_view kError = "ERROR";

// The fields of a reply; a reply without a separator is one field, and the
// empty reply is one empty field.
std::vector<std::string> SplitReplyFields(std::string_view reply);

// What one validation reply decides. Absent members leave the dialog's
// remembered texts and the stored DND status as they were.
struct LoginReply {
  std::string result;                          // kSuccess, kFail or kChangePassword
  std::optional<std::string> dnd_status;       // to store, from a three-field reply
  std::optional<std::string> success_message;  // from a three-field reply
  std::optional<std::string> fail_message;     // from a two-field reply
};

// Exact, case-sensitive comparisons; the first field is never examined.
LoginReply ClassifyLoginReply(std::string_view reply);

// How the dialog's update notice looks after the update check.
enum class UpdateNotice {
  kAsDesigned,  // "New Excel PlugIn is Available", visible
  kStop,        // the red stop notice "Please download New PlugIn"
  kHidden,      // notice picture, text and download picture hidden
};

struct UpdateReply {
  UpdateNotice notice = UpdateNotice::kAsDesigned;
  std::optional<std::string> download_url;  // set only when the address is not "NO"
};

UpdateReply ClassifyUpdateReply(std::string_view reply);

// The validation URL with every value percent-encoded, so that a password
// holding "&", "#", "%", "+" or a space reaches the service intact and no
// value can pose as another parameter.
std::string LoginValidationUrl(std::string_view host, std::string_view user_id,
                               std::string_view password, std::string_view local_ip,
                               std::string_view version);

// The update check: only the version is filled in; the other tokens stay in
// the URL as written, and "&type=loading" marks the request as the check.
std::string UpdateCheckUrl(std::string_view host, std::string_view version);

}  // namespace pelorin::login
