// Answers of the query-only service pages: UserValidation (login and the
// update check), GetCreditDetails and GetSenderID. Each takes the raw URL
// query and answers the reply body; bad input gets the page's failure form.
#ifndef PELORIN_PROVIDER_SERVICE_PAGES_H_
#define PELORIN_PROVIDER_SERVICE_PAGES_H_

#include <optional>
#include <string>
#include <string_view>

namespace pelorin::provider {

class ProviderStore;

inline constexpr std::string_view kReplySeparator = "@#$&";
inline constexpr std::string_view kLoginFailure =
    "FAIL@#$&Invalid Login ID or Password";
inline constexpr std::string_view kFirstLoginReply = "1019";
// The update check's one-field answer: no new plug-in to offer.
inline constexpr std::string_view kNoUpdateReply = "1.0";

// The server-wide answer to the update check.
struct UpdateNotice {
  std::string kind = "none";  // "none", "MINOR" or "MAJOR"
  std::string url;            // empty: answered as "NO"
};

// Parses "none", "MINOR" or "MAJOR" (exact); nullopt otherwise.
std::optional<UpdateNotice> MakeUpdateNotice(std::string_view kind, std::string url);

std::string AnswerUserValidation(ProviderStore& store, std::string_view query,
                                 const UpdateNotice& update);
std::string AnswerCreditDetails(ProviderStore& store, std::string_view query);
std::string AnswerSenderId(ProviderStore& store, std::string_view query);

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_SERVICE_PAGES_H_
