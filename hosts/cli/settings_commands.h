// Subcommands that only show or change stored settings: `host`, `proxy show`
// and `packet-size` without an argument.
#pragma once

#include <ostream>
#include <string>

namespace pelorin {
class SettingsStore;
}

namespace pelorin::cli {

// Without a host prints the one in use; with one, checks it is "HOST" or
// "HOST:PORT" and stores it.
int RunHostCommand(SettingsStore& settings, const std::string& host, std::ostream& out,
                   std::ostream& err);
int RunProxyShowCommand(const SettingsStore& settings, std::ostream& out);
int RunPacketSizeShowCommand(const SettingsStore& settings, std::ostream& out);

// True for "name", "name:port", "1.2.3.4:8080": the form the pages' URLs
// put after "http://".
bool IsValidServiceHost(const std::string& host);

}  // namespace pelorin::cli
