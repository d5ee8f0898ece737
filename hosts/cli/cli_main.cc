#include "hosts/cli/cli_main.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "hosts/cli/check_command.h"
#include "hosts/cli/cli_runtime.h"
#include "hosts/cli/dialog_commands.h"
#include "hosts/cli/exit_status.h"
#include "hosts/cli/history_command.h"
#include "hosts/cli/menu_commands.h"
#include "hosts/cli/resume_command.h"
#include "hosts/cli/send_commands.h"
#include "hosts/cli/send_selection.h"
#include "hosts/cli/settings_commands.h"
#include "hosts/cli/sheets_command.h"

namespace pelorin::cli {
namespace {

struct Flags {
  std::string host;
  std::string workbook;
  bool print_only = false;
  LoginFlags login;
  std::string login_id;
  ProxyAddress proxy;
  std::string packet_size;
  bool packet_size_default = false;
  SendSelection selection;
  std::string rows, ranges, sender, later, message_file;
  std::string format = "table";
  std::string exclude;
  SendCheckFlags send_checks;
  std::string check_format = "text";
  std::string region;
  bool region_default = false;
  std::string resume_run;
  bool resend_unknown = false;
  bool skip_unknown = false;
  std::string history_run;
};

// The subcommands, each a pointer CLI11 keeps alive with the app.
struct Commands {
  CLI::App* menu;
  CLI::App* logout;
  CLI::App* credit;
  CLI::App* help;
  CLI::App* contact;
  CLI::App* reg;
  CLI::App* host;
  CLI::App* sheets;
  CLI::App* proxy_show;
  CLI::App* proxy_add;
  CLI::App* proxy_remove;
  CLI::App* login;
  CLI::App* packet_size;
  CLI::App* send;
  CLI::App* preview;
  CLI::App* senders;
  CLI::App* check;
  CLI::App* region;
  CLI::App* history;
};

void AddSelectionFlags(CLI::App& command, Flags& flags, bool workbook_required = true) {
  command.add_option("WORKBOOK", flags.workbook, ".xlsx, .xls, .ods or .csv file")
      ->required(workbook_required);
  command.add_option("--sheet", flags.selection.sheet, "Sheet name or 1-based number");
  command.add_option("--mobile-column", flags.selection.mobile_column,
                     "Column of the mobile numbers");
  command.add_option("--message", flags.selection.message, "The message template");
  command.add_option("--message-file", flags.message_file, "A UTF-8 file holding the template");
  command.add_option("--rows", flags.rows, "FIRST-LAST");
  command.add_option("--ranges", flags.ranges, "A range list such as 3-9,35-71");
  command.add_option("--sender", flags.sender, "A sender ID the service offers");
  command.add_flag("--flash", flags.selection.flash, "Send as flash messages");
  command.add_option("--later", flags.later, "Send at \"YYYY-MM-DD HH:MM\"");
}

// `check`, `region`, and what `send` takes for them.
void AddCheckCommands(CLI::App& app, Commands& c, Flags& flags) {
  c.send->add_option("--exclude", flags.exclude,
                     "Skip the rows whose number is in FILE (one a line, or a .csv/.xlsx)");
  c.send->add_flag("--check", flags.send_checks.check,
                   "Check first; send nothing when a row would fail");
  c.send->add_flag("--force", flags.send_checks.force, "With --check: send anyway");
  c.check = app.add_subcommand("check", "What a send would cost and which rows would fail");
  AddSelectionFlags(*c.check, flags);
  c.check->add_option("--exclude", flags.exclude, "Numbers to leave out, as for send");
  c.check->add_option("--format", flags.check_format, "text or json")
      ->check(CLI::IsMember({"text", "json"}));
  c.region = app.add_subcommand("region", "Show or set the region numbers are read in");
  c.region->add_option("REGION", flags.region, "A region code such as IN");
  c.region->add_flag("--default", flags.region_default, "Forget the region set");
}

// `send --resume [RUN]` takes the workbook and selection from the journal.
void AddResumeFlags(CLI::App& send, Flags& flags) {
  send.add_option("--resume", flags.resume_run,
                  "Send what the service does not hold of RUN (the last unfinished run)")
      ->expected(0, 1);
  send.add_flag("--resend-unknown", flags.resend_unknown,
                "With --resume: send again a packet that went out without a reply");
  send.add_flag("--skip-unknown", flags.skip_unknown,
                "With --resume: count a packet that went out without a reply as accepted");
}

SendSelection CollectSelection(const CLI::App& command, Flags& flags);

int RunSend(CliRuntime& runtime, const CLI::App& send, Flags& flags, std::ostream& out,
            std::ostream& err) {
  const bool resume = send.count("--resume") > 0;
  if (!resume) {
    if (flags.resend_unknown || flags.skip_unknown)
      throw UsageError("--resend-unknown and --skip-unknown go with --resume");
    if (send.count("WORKBOOK") == 0) throw UsageError("give a WORKBOOK, or --resume");
    SendCheckFlags checks = flags.send_checks;
    if (send.count("--exclude")) checks.exclude = flags.exclude;
    if (checks.force && !checks.check) throw UsageError("--force goes with --check");
    return RunSendCommand(runtime, flags.workbook, CollectSelection(send, flags), out, err,
                          checks);
  }
  if (send.count("WORKBOOK") > 0 || send.count("--message") > 0 ||
      send.count("--message-file") > 0 || send.count("--rows") > 0 || send.count("--ranges") > 0)
    throw UsageError("--resume takes the workbook and selection from the run's journal");
  if (flags.resend_unknown && flags.skip_unknown)
    throw UsageError("give --resend-unknown or --skip-unknown, not both");
  ResumeFlags resume_flags;
  if (!flags.resume_run.empty()) resume_flags.run = flags.resume_run;
  if (flags.resend_unknown) resume_flags.unknown = UnknownPackets::kResend;
  if (flags.skip_unknown) resume_flags.unknown = UnknownPackets::kSkip;
  return RunResumeCommand(runtime, resume_flags, out, err);
}

Commands AddCommands(CLI::App& app, Flags& flags) {
  Commands c{};
  c.menu = app.add_subcommand("menu", "Print the Pelorin menu's commands and their state");
  c.logout = app.add_subcommand("logout", "End the session");
  c.credit = app.add_subcommand("credit", "Print the account's remaining credit");
  c.help = app.add_subcommand("help", "Open the provider's help page");
  c.contact = app.add_subcommand("contact", "Write to the provider's support");
  c.reg = app.add_subcommand("register", "Open the provider's registration page");
  for (CLI::App* link : {c.help, c.contact, c.reg}) {
    link->add_flag("--print", flags.print_only, "Print the address instead of opening it");
  }
  c.host = app.add_subcommand("host", "Show or set the service's web host");
  c.host->add_option("HOST", flags.host, "HOST or HOST:PORT");
  c.sheets = app.add_subcommand("sheets", "List a workbook's sheets and used ranges");
  c.sheets->add_option("WORKBOOK", flags.workbook, ".xlsx, .xls, .ods or .csv file")->required();
  CLI::App* proxy = app.add_subcommand("proxy", "Show, add or remove the HTTP proxy");
  proxy->require_subcommand(1);
  c.proxy_show = proxy->add_subcommand("show", "Print the stored proxy");
  c.proxy_add = proxy->add_subcommand("add", "Set the proxy: four address octets and a port");
  for (int i = 0; i < 4; ++i) {
    c.proxy_add->add_option("OCTET" + std::to_string(i + 1), flags.proxy.octets[i])->required();
  }
  c.proxy_add->add_option("PORT", flags.proxy.port)->required();
  c.proxy_remove = proxy->add_subcommand("remove", "Remove the proxy");
  c.login = app.add_subcommand("login", "Log in to the provider's service");
  c.login->add_option("--id", flags.login_id, "Login id (asked on a terminal when left out)");
  c.login->add_flag("--password-stdin", flags.login.password_stdin,
                    "Read the password as one line from stdin");
  c.packet_size = app.add_subcommand("packet-size", "Show or set the rows per upload packet");
  c.packet_size->add_option("SIZE", flags.packet_size, "Rows per packet");
  c.packet_size->add_flag("--default", flags.packet_size_default, "Go back to the default");
  c.send = app.add_subcommand("send", "Send one message per selected row");
  AddSelectionFlags(*c.send, flags, /*workbook_required=*/false);
  AddResumeFlags(*c.send, flags);
  c.preview = app.add_subcommand("preview", "Show the first merged messages");
  AddSelectionFlags(*c.preview, flags);
  c.preview->add_option("--format", flags.format, "table, tsv or json")
      ->check(CLI::IsMember({"table", "tsv", "json"}));
  c.senders = app.add_subcommand("senders", "Show the DND status and the sender IDs offered");
  AddCheckCommands(app, c, flags);
  c.history = app.add_subcommand("history", "List the runs sent, or one run's packets");
  c.history->add_option("RUN", flags.history_run, "A run's name as the list shows it");
  return c;
}

int RunPacketSize(CliRuntime& runtime, const CLI::App& command, const Flags& flags,
                  std::ostream& out, std::ostream& err) {
  const bool has_size = command.count("SIZE") > 0;
  if (has_size && flags.packet_size_default) throw UsageError("give SIZE or --default, not both");
  if (!has_size && !flags.packet_size_default)
    return RunPacketSizeShowCommand(runtime.settings(), out);
  return RunPacketSizeSetCommand(runtime, has_size ? flags.packet_size : "", err);
}

std::string ReadMessageFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    throw UsageError("--message-file: " + path + " is a folder, not a file");
  }
  if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error)) {
    throw UsageError("--message-file: " + path + " is not a regular file");
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) throw UsageError("--message-file: cannot read " + path);
  std::string text((std::istreambuf_iterator<char>(file)), {});
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  return text;
}

// The flags that only take a value when given, and the template's source.
SendSelection CollectSelection(const CLI::App& command, Flags& flags) {
  SendSelection selection = flags.selection;
  if (command.count("--rows")) selection.rows = flags.rows;
  if (command.count("--ranges")) selection.ranges = flags.ranges;
  if (command.count("--sender")) selection.sender = flags.sender;
  if (command.count("--later")) selection.later = flags.later;
  const bool inline_message = command.count("--message") > 0;
  const bool file_message = command.count("--message-file") > 0;
  if (inline_message == file_message)
    throw UsageError("give exactly one of --message and --message-file");
  if (file_message) selection.message = ReadMessageFile(flags.message_file);
  return selection;
}

PreviewFormat FormatOf(const std::string& name) {
  if (name == "tsv") return PreviewFormat::kTsv;
  if (name == "json") return PreviewFormat::kJson;
  return PreviewFormat::kTable;
}

int Dispatch(const Commands& c, Flags& flags, std::ostream& out, std::ostream& err) {
  if (c.sheets->parsed()) return RunSheetsCommand(flags.workbook, out, err);
  CliRuntime runtime(err);
  if (c.menu->parsed()) return RunMenuCommand(runtime, out);
  if (c.logout->parsed()) return RunLogoutCommand(runtime);
  if (c.credit->parsed()) return RunCreditCommand(runtime, out);
  if (c.help->parsed())
    return RunWebLinkCommand(runtime, WebLink::kHelp, flags.print_only, out, err);
  if (c.contact->parsed()) {
    return RunWebLinkCommand(runtime, WebLink::kContact, flags.print_only, out, err);
  }
  if (c.reg->parsed()) {
    return RunWebLinkCommand(runtime, WebLink::kRegister, flags.print_only, out, err);
  }
  if (c.host->parsed()) return RunHostCommand(runtime.settings(), flags.host, out, err);
  if (c.proxy_show->parsed()) return RunProxyShowCommand(runtime.settings(), out);
  if (c.proxy_add->parsed()) return RunProxyAddCommand(runtime, flags.proxy, err);
  if (c.proxy_remove->parsed()) return RunProxyRemoveCommand(runtime);
  if (c.login->parsed()) {
    if (c.login->count("--id") > 0) flags.login.id = flags.login_id;
    return RunLoginCommand(runtime, flags.login, std::cin, err);
  }
  if (c.packet_size->parsed()) return RunPacketSize(runtime, *c.packet_size, flags, out, err);
  if (c.send->parsed()) return RunSend(runtime, *c.send, flags, out, err);
  if (c.history->parsed()) {
    if (c.history->count("RUN") == 0) return RunHistoryCommand(runtime.journal(), out);
    return RunHistoryOfRunCommand(runtime.journal(), flags.history_run, out, err);
  }
  if (c.check->parsed()) {
    CheckFlags check{std::nullopt, flags.check_format == "json"};
    if (c.check->count("--exclude")) check.exclude = flags.exclude;
    return RunCheckCommand(runtime, flags.workbook, CollectSelection(*c.check, flags), check, out,
                           err);
  }
  if (c.region->parsed()) {
    const bool has_region = c.region->count("REGION") > 0;
    if (has_region && flags.region_default) throw UsageError("give REGION or --default, not both");
    return RunRegionCommand(runtime, has_region ? std::optional(flags.region) : std::nullopt,
                            flags.region_default, out, err);
  }
  if (c.preview->parsed()) {
    return RunPreviewCommand(runtime, flags.workbook, CollectSelection(*c.preview, flags),
                             FormatOf(flags.format), out, err);
  }
  if (c.senders->parsed()) return RunSendersCommand(runtime, out, err);
  return kExitBadInput;
}

}  // namespace

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"Pelorin: personalised text messages in bulk from a spreadsheet", "pelorin"};
  app.require_subcommand(1);
  Flags flags;
  const Commands commands = AddCommands(app, flags);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, out, err) == 0 ? kExitOk : kExitBadInput;
  }
  try {
    return Dispatch(commands, flags, out, err);
  } catch (const UsageError& error) {
    err << "pelorin: " << error.what() << '\n';
    return kExitBadInput;
  } catch (const std::exception& error) {
    err << "pelorin: " << error.what() << '\n';
    return kExitRefused;
  }
}

}  // namespace pelorin::cli
