#include "hosts/cli/settings_commands.h"

#include "core/settings/settings_store.h"
#include "core/settings/value_names.h"
#include "hosts/cli/exit_status.h"

namespace pelorin::cli {
namespace {

bool IsHostNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.';
}

bool IsPort(const std::string& text) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  const int port = std::stoi(text);
  return port >= 1 && port <= 65535;
}

}  // namespace

bool IsValidServiceHost(const std::string& host) {
  const std::size_t colon = host.find(':');
  const std::string name = host.substr(0, colon);
  if (name.empty() || name.front() == '.' || name.front() == '-') return false;
  for (char c : name) {
    if (!IsHostNameChar(c)) return false;
  }
  return colon == std::string::npos || IsPort(host.substr(colon + 1));
}

int RunHostCommand(SettingsStore& settings, const std::string& host, std::ostream& out,
                   std::ostream& err) {
  if (host.empty()) {
    out << settings.ServiceHost() << '\n';
    return kExitOk;
  }
  if (!IsValidServiceHost(host)) {
    err << "pelorin host: \"" << host << "\" is not HOST or HOST:PORT\n";
    return kExitBadInput;
  }
  settings.SaveServiceHost(host);
  return kExitOk;
}

int RunProxyShowCommand(const SettingsStore& settings, std::ostream& out) {
  const std::string address = settings.strGetSetting(value_names::kProxyAddress);
  const std::string port = settings.strGetSetting(value_names::kProxyPort);
  if (address.empty() && port.empty()) {
    out << "no proxy\n";
  } else {
    out << "address " << address << "\nport " << port << '\n';
  }
  return kExitOk;
}

int RunPacketSizeShowCommand(const SettingsStore& settings, std::ostream& out) {
  const std::string size = settings.strGetSetting(value_names::kPacketSize);
  out << (size.empty() ? std::string("1000 (default)") : size) << '\n';
  return kExitOk;
}

}  // namespace pelorin::cli
