// The credit balance query to the service's GetCreditDetails page: the
// "Credit Balance" display and the check before a send.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

struct AddinContext;

inline constexpr std::string_view kAvailableCredits = "Available Credits: ";
inline constexpr std::string_view kInsufficientCredits = "You have Insufficient Credits";

class CreditQuery {
 public:
  explicit CreditQuery(AddinContext& context) : context_(context) {}

  // The page's address for the logged-in user, stamped with the clock's
  // present reading. Both values are percent-encoded, so a login id holding
  // "&" or a blank cannot cut or add parameters.
  std::string Url() const;
  // The reply whole and untrimmed, or "ERROR" when the request failed.
  std::string Run();

  // Shows "Available Credits: " and the reply; an error on the way shows the
  // page-opening message instead. The caller has checked the login.
  void ShowBalance();
  // False, after telling the user, only when the reply is exactly "0"
  // (either case); "ERROR", an empty or any other reply lets the send go on.
  bool AllowsSend();

 private:
  AddinContext& context_;
};

}  // namespace pelorin
