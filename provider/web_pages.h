// The provider's plain web pages that the add-in opens in a browser: the
// home page, the plug-in help and the registration page.
#ifndef PELORIN_PROVIDER_WEB_PAGES_H_
#define PELORIN_PROVIDER_WEB_PAGES_H_

#include <string>

namespace pelorin::provider {

// `web_host` is the host name the pages link to (as in "http://<host>/").
std::string HomePage(const std::string& web_host);
std::string HelpPage(const std::string& web_host);
std::string RegistrationPage(const std::string& web_host);
// The HTML body answered by the "status" fault.
std::string StatusPage(int status);

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_WEB_PAGES_H_
