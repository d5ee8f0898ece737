// Web pages and mail through the Windows shell: http(s) addresses open in
// the user's default browser, "mailto:" links in the mail program.
#pragma once

#include <string>

#include "core/host/browser.h"

namespace pelorin::win32 {

class ShellBrowser : public Browser {
 public:
  // Both refuse anything but http://, https:// and (for ShellOpen) mailto:,
  // so no other kind of address ever reaches the shell; they throw when the
  // shell cannot open the address.
  void OpenInNewWindow(const std::string& address) override;
  void ShellOpen(const std::string& address) override;
};

}  // namespace pelorin::win32
