// Hands an address to the desktop: a web page to the browser, a mailto: link
// to the mail program.
#pragma once

#include <string>

namespace pelorin {

class Browser {
 public:
  virtual ~Browser() = default;
  // Opens the address in a new browser window; throws std::runtime_error when
  // the browser cannot be started.
  virtual void OpenInNewWindow(const std::string& address) = 0;
  // The shell's "open" action for any address (used for mailto:); throws on failure.
  virtual void ShellOpen(const std::string& address) = 0;
};

}  // namespace pelorin
