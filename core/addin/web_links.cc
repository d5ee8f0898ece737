#include "core/addin/web_links.h"

#include <exception>

#include "core/addin/addin_context.h"
#include "core/host/browser.h"
#include "core/host/user_interface.h"
#include "core/service/service_pages.h"
#include "core/settings/settings_store.h"
#include "core/text/replace.h"

namespace pelorin {
namespace {

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool HasControlCharacter(std::string_view text) {
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

}  // namespace

std::string ContactAddress() { return "mailto:" + std::string(kSupportMailbox); }

std::string HelpPageAddress(const SettingsStore& settings) {
  return service_pages::Url(settings.ServiceHost(), service_pages::kHelpPage);
}

std::string HomePageAddress(const SettingsStore& settings) {
  return service_pages::Url(settings.ServiceHost(), service_pages::kHomePage);
}

std::string RegistrationPageAddress(const SettingsStore& settings) {
  return service_pages::Url(settings.ServiceHost(), service_pages::kRegistrationPage);
}

bool IsOpenableWebAddress(std::string_view address) {
  for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
    if (StartsWithIgnoreCase(address, scheme)) {
      return address.size() > scheme.size() && !HasControlCharacter(address);
    }
  }
  return false;
}

bool OpenWebPage(Browser& browser, const std::string& address) {
  if (!IsOpenableWebAddress(address)) return false;
  try {
    browser.OpenInNewWindow(address);
    return true;
  } catch (...) {
    return false;
  }
}

template <typename Open>
void WebLinks::OrShowError(Open open) {
  try {
    open();
  } catch (...) {
    context_.ui.MessageBox(kOpenPageError, message_box::kOkOnly, message_box::kDefaultTitle);
  }
}

void WebLinks::ContactUs() {
  OrShowError([this] { context_.browser.ShellOpen(ContactAddress()); });
}

void WebLinks::Help() {
  OrShowError([this] { OpenWebPage(context_.browser, HelpPageAddress(context_.settings)); });
}

void WebLinks::UserDemo() {
  OrShowError([this] { OpenWebPage(context_.browser, HomePageAddress(context_.settings)); });
}

void WebLinks::Register() {
  try {
    OpenWebPage(context_.browser, RegistrationPageAddress(context_.settings));
  } catch (...) {
  }
}

void WebLinks::Download(const std::string& address) {
  OrShowError([this, &address] { OpenWebPage(context_.browser, address); });
}

void WebLinks::ErrorLink() {
  OrShowError([this] { OpenWebPage(context_.browser, HomePageAddress(context_.settings)); });
}

}  // namespace pelorin
