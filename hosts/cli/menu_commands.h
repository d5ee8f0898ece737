// Subcommands that are one click on a menu command: `menu`, `logout`,
// `credit`, and the web links `help`, `contact` and `register`.
#pragma once

#include <ostream>

namespace pelorin::cli {

class CliRuntime;

// The menu as the add-in built it for the stored login state.
int RunMenuCommand(CliRuntime& runtime, std::ostream& out);
int RunLogoutCommand(CliRuntime& runtime);
// The credit line goes to stdout; a refusal or failure to stderr.
int RunCreditCommand(CliRuntime& runtime, std::ostream& out);

enum class WebLink { kHelp, kContact, kRegister };
// Opens the page or mail link, or with `print_only` prints its address.
int RunWebLinkCommand(CliRuntime& runtime, WebLink link, bool print_only, std::ostream& out,
                      std::ostream& err);

}  // namespace pelorin::cli
