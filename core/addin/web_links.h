// The provider's web pages and the support mail link opened for the user, and
// the one way a web address reaches the browser.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

class Browser;
class SettingsStore;
struct AddinContext;

inline constexpr std::string_view kOpenPageError = "Error occured while opening the page!!";

// "mailto:" and the support mailbox.
std::string ContactAddress();
// "http://" + the service's web host + the page's path.
std::string HelpPageAddress(const SettingsStore& settings);
std::string HomePageAddress(const SettingsStore& settings);
std::string RegistrationPageAddress(const SettingsStore& settings);

// True for an absolute http:// or https:// address without control
// characters. A download address comes from the service's reply, so anything
// else (file:, javascript:, a bare path) must never reach the browser.
bool IsOpenableWebAddress(std::string_view address);

// Opens the address in a new browser window. Quiet by design: a browser that
// cannot start, or an address that is not http(s), leaves no message; the
// answer only tells whether the browser took the address.
bool OpenWebPage(Browser& browser, const std::string& address);

// The menu commands and the login dialog's links, each trapping its own
// errors the way its origin requires.
class WebLinks {
 public:
  explicit WebLinks(AddinContext& context) : context_(context) {}

  void ContactUs();  // the shell opens the mail link
  void Help();
  void UserDemo();  // the site's home page
  void Register();  // errors are ignored
  void Download(const std::string& address);
  void ErrorLink();  // the site's home page

 private:
  // Runs `open`; an error shows kOpenPageError.
  template <typename Open>
  void OrShowError(Open open);

  AddinContext& context_;
};

}  // namespace pelorin
