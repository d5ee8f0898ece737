#include "hosts/cli/dialog_commands.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

#include "core/forms/form.h"
#include "core/login/login_form.h"
#include "hosts/cli/cli_runtime.h"
#include "hosts/cli/exit_status.h"
#include "hosts/cli/send_selection.h"

namespace pelorin::cli {
namespace {

// The dialog a menu command put on screen, or null when the command refused
// (and said why in a message box).
forms::Form* OpenDialog(CliRuntime& runtime, const char* menu_caption, const char* form_name) {
  if (!runtime.ClickMenu(menu_caption)) return nullptr;
  return runtime.ui().ShownForm(form_name);
}

std::string ReadLine(std::istream& in) {
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Asks on the terminal; the password without echo.
std::string Prompt(const char* question, bool secret) {
  std::cerr << question << std::flush;
  termios saved{};
  const bool hide = secret && tcgetattr(STDIN_FILENO, &saved) == 0;
  if (hide) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  std::string answer = ReadLine(std::cin);
  if (hide) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::cerr << '\n';
  }
  return answer;
}

struct Credentials {
  std::string id;
  std::string password;
};

Credentials AskCredentials(const LoginFlags& flags, std::istream& in) {
  const bool terminal = isatty(STDIN_FILENO) == 1;
  if (!flags.id && !terminal) throw UsageError("--id is needed when stdin is not a terminal");
  if (!flags.password_stdin && !terminal) {
    throw UsageError("--password-stdin is needed when stdin is not a terminal");
  }
  Credentials credentials;
  credentials.id = flags.id ? *flags.id : Prompt("Login ID: ", false);
  credentials.password = flags.password_stdin ? ReadLine(in) : Prompt("Password: ", true);
  return credentials;
}

void ReportUpdate(forms::Form& form, std::ostream& err) {
  auto* login = dynamic_cast<frmLogin*>(&form);
  if (login == nullptr || login->strDownloadURL().empty()) return;
  err << login->control("lblalert").text << ": " << login->strDownloadURL() << '\n';
}

}  // namespace

int RunLoginCommand(CliRuntime& runtime, const LoginFlags& flags, std::istream& in,
                    std::ostream& err) {
  if (runtime.settings().IsLoggedIn()) {
    err << "pelorin: already logged in as " << runtime.settings().SessionUserId()
        << "; run pelorin logout first\n";
    return kExitRefused;
  }
  const Credentials credentials = AskCredentials(flags, in);
  forms::Form* login = OpenDialog(runtime, "Login", "frmLogin");
  if (login == nullptr) return kExitRefused;
  ReportUpdate(*login, err);
  login->SetText("txtLoginID", credentials.id);
  login->SetText("txtPassword", credentials.password);
  login->Click("btnLogin");
  if (login->control("lblError").visible) {
    err << "Log in once on the provider's web site first: pelorin register --print\n";
  }
  return runtime.settings().IsLoggedIn() ? kExitOk : kExitRefused;
}

int RunProxyAddCommand(CliRuntime& runtime, const ProxyAddress& address, std::ostream&) {
  forms::Form* proxy = OpenDialog(runtime, "Proxy Settings", "frmProxySettings");
  if (proxy == nullptr) return kExitRefused;
  const char* boxes[] = {"txtProxyIp1", "txtProxyIp2", "txtProxyIp3", "txtProxyIp4"};
  for (int i = 0; i < 4; ++i) TypeIntoBox(*proxy, boxes[i], address.octets[i], "proxy address");
  TypeIntoBox(*proxy, "txtPort", address.port, "proxy port");
  proxy->Click("btnAddProxy");
  return proxy->visible() ? kExitRefused : kExitOk;
}

int RunProxyRemoveCommand(CliRuntime& runtime) {
  forms::Form* proxy = OpenDialog(runtime, "Proxy Settings", "frmProxySettings");
  if (proxy == nullptr) return kExitRefused;
  proxy->Click("btnRemoveProxy");
  return proxy->visible() ? kExitRefused : kExitOk;
}

int RunPacketSizeSetCommand(CliRuntime& runtime, const std::string& size, std::ostream&) {
  forms::Form* dialog = OpenDialog(runtime, "Packet Size Settings", "frmPacketSize");
  if (dialog == nullptr) return kExitRefused;
  if (size.empty()) {
    dialog->SetText("txtPacketSize", "");
  } else {
    TypeIntoBox(*dialog, "txtPacketSize", size, "packet size");
  }
  dialog->Click("btnAddPackSize");
  return dialog->visible() ? kExitRefused : kExitOk;
}

}  // namespace pelorin::cli
