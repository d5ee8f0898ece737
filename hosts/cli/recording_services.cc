#include "hosts/cli/recording_services.h"

namespace pelorin::cli {

void RecordingBrowser::OpenInNewWindow(const std::string& address) {
  browser_.OpenInNewWindow(address);
  ++opened_;
}

void RecordingBrowser::ShellOpen(const std::string& address) {
  browser_.ShellOpen(address);
  ++opened_;
}

std::string RecordingTransport::Post(const HttpRequest& request) {
  try {
    return transport_.Post(request);
  } catch (const TransportError& error) {
    ++failures_;
    last_failure_ = error.what();
    throw;
  }
}

}  // namespace pelorin::cli
