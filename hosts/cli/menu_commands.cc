#include "hosts/cli/menu_commands.h"

#include <string>

#include "core/addin/credit_query.h"
#include "core/addin/web_links.h"
#include "core/host/user_interface.h"
#include "hosts/cli/cli_runtime.h"
#include "hosts/cli/exit_status.h"

namespace pelorin::cli {

int RunMenuCommand(CliRuntime& runtime, std::ostream& out) {
  runtime.ConnectAddin();
  runtime.application().menu_bar().Print(out);
  return kExitOk;
}

int RunLogoutCommand(CliRuntime& runtime) {
  if (!runtime.ClickMenu("Logout")) {
    runtime.ui().MessageBox("Nobody is logged in.", message_box::kOkOnly,
                            message_box::kDefaultTitle);
    return kExitRefused;
  }
  return runtime.settings().IsLoggedIn() ? kExitRefused : kExitOk;
}

int RunCreditCommand(CliRuntime& runtime, std::ostream& out) {
  bool got_balance = false;
  runtime.ui().set_result_boxes(
      [&got_balance](std::string_view text) {
        const bool is_balance =
            text.starts_with(kAvailableCredits) && text != std::string(kAvailableCredits) + "ERROR";
        got_balance = got_balance || is_balance;
        return is_balance;
      },
      out);
  runtime.ClickMenu("Credit Balance");
  if (runtime.RefusedForLogin()) return kExitRefused;
  return got_balance ? kExitOk : kExitRefused;
}

int RunWebLinkCommand(CliRuntime& runtime, WebLink link, bool print_only, std::ostream& out,
                      std::ostream& err) {
  const SettingsStore& settings = runtime.settings();
  if (print_only) {
    switch (link) {
      case WebLink::kHelp:
        out << HelpPageAddress(settings) << '\n';
        break;
      case WebLink::kContact:
        out << ContactAddress() << '\n';
        break;
      case WebLink::kRegister:
        out << RegistrationPageAddress(settings) << '\n';
        break;
    }
    return kExitOk;
  }
  const int opened_before = runtime.browser().opened();
  switch (link) {
    case WebLink::kHelp:
      runtime.ClickMenu("Help");
      break;
    case WebLink::kContact:
      runtime.ClickMenu("Contact Us");
      break;
    case WebLink::kRegister:
      WebLinks(runtime.context()).Register();
      break;
  }
  if (runtime.browser().opened() > opened_before) return kExitOk;
  // The add-in opens pages quietly; the command line still says it failed.
  if (link != WebLink::kContact) err << "pelorin: no browser could be started\n";
  return kExitRefused;
}

}  // namespace pelorin::cli
