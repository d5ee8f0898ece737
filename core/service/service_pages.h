// The addresses of the service's pages and of the web pages opened for the
// user, all on the one configured web host.
#pragma once

#include <string>
#include <string_view>

namespace pelorin::service_pages {

// URL templates: the path and query after "http://" + host. The tokens
// between exclamation marks are replaced by the callers.
inline constexpr std::string_view kUserValidation =
    "/PelorinExcelplugin02022012/UserValidation.aspx?uid=!UID!&pwd=!PWD!&ip=!IP!&version=!VERSION!";
inline constexpr std::string_view kCreditDetails =
    "/PelorinExcelplugin02022012/GetCreditDetails.aspx?uid=!UID!&ticks=!TICK!";
inline constexpr std::string_view kSenderIds = "/PelorinExcelplugin02022012/GetSenderID.aspx?uid=!UID!";
inline constexpr std::string_view kCompose =
    "/PelorinExcelplugin02022012/Compose.aspx?uid=!UID!&ip=!IP!&sid=!SID!&state=!STATE!&filename=!FILENAME!&catid=!CATID!";

// Web pages.
inline constexpr std::string_view kHomePage = "";
inline constexpr std::string_view kHelpPage = "/excel_plugin.html";
inline constexpr std::string_view kRegistrationPage = "/UI/Registration.aspx";

// "http://" + host + path.
std::string Url(std::string_view host, std::string_view path);

}  // namespace pelorin::service_pages
