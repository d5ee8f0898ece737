// Hands web pages and mailto: links to the desktop through xdg-open, started
// directly (no shell) and reaped in the background.
#pragma once

#include <string>

#include "core/host/browser.h"

namespace pelorin::posix {

class XdgBrowser : public Browser {
 public:
  // `program` is looked up on PATH unless it holds a "/".
  explicit XdgBrowser(std::string program = "xdg-open");

  // Both return once the program has started; its exit is not awaited (some
  // browsers keep it running until their window closes). They throw
  // std::runtime_error when the program cannot be started or the address
  // could be mistaken for an option.
  void OpenInNewWindow(const std::string& address) override;
  void ShellOpen(const std::string& address) override;

 private:
  void Open(const std::string& address);

  std::string program_;
};

}  // namespace pelorin::posix
