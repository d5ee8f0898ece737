// Subcommands that open a dialog through its menu command, fill its boxes
// as a user would type them and click its button: `login`, `proxy add` and
// `proxy remove`, `packet-size`.
#pragma once

#include <array>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

namespace pelorin::cli {

class CliRuntime;

struct LoginFlags {
  std::optional<std::string> id;
  bool password_stdin = false;
};
int RunLoginCommand(CliRuntime& runtime, const LoginFlags& flags, std::istream& in,
                    std::ostream& err);

struct ProxyAddress {
  std::array<std::string, 4> octets;
  std::string port;
};
int RunProxyAddCommand(CliRuntime& runtime, const ProxyAddress& address, std::ostream& err);
int RunProxyRemoveCommand(CliRuntime& runtime);

// An empty size restores the default.
int RunPacketSizeSetCommand(CliRuntime& runtime, const std::string& size, std::ostream& err);

}  // namespace pelorin::cli
