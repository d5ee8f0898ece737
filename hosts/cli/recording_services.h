// Decorators over the platform's browser and transport that remember how
// their calls ended. The add-in traps these failures by design (a page that
// does not open is quiet, a failed request reads as "ERROR"); the command
// line still owes its caller an exit status that says so.
#pragma once

#include <string>

#include "core/host/browser.h"
#include "core/host/http_transport.h"

namespace pelorin::cli {

class RecordingBrowser : public Browser {
 public:
  explicit RecordingBrowser(Browser& browser) : browser_(browser) {}
  void OpenInNewWindow(const std::string& address) override;
  void ShellOpen(const std::string& address) override;

  int opened() const { return opened_; }

 private:
  Browser& browser_;
  int opened_ = 0;
};

class RecordingTransport : public HttpTransport {
 public:
  explicit RecordingTransport(HttpTransport& transport) : transport_(transport) {}
  std::string Post(const HttpRequest& request) override;

  int failures() const { return failures_; }
  const std::string& last_failure() const { return last_failure_; }

 private:
  HttpTransport& transport_;
  int failures_ = 0;
  std::string last_failure_;
};

}  // namespace pelorin::cli
