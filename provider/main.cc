// pelorin-provider: a stand-in for the bulk-SMS provider's web service.
// `serve` answers the service pages; `account` and `runs` manage and show
// the database it works on.
#include <CLI/CLI.hpp>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "account_command.h"
#include "provider_server.h"
#include "provider_store.h"
#include "runs_report.h"

namespace {

using namespace pelorin::provider;

std::string DefaultDbPath() {
  const char* data_home = std::getenv("XDG_DATA_HOME");
  std::filesystem::path base;
  if (data_home && *data_home) {
    base = data_home;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home ? home : ".") / ".local" / "share";
  }
  return (base / "pelorin-provider" / "provider.db").string();
}

// Creates the database's folder so a first run works out of the box.
std::unique_ptr<ProviderStore> OpenStore(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  return std::make_unique<ProviderStore>(path);
}

// Splits "HOST:PORT" (or "[V6]:PORT") at the last colon.
bool ParseListen(const std::string& text, std::string& host, int& port) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  host = text.substr(0, colon);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  try {
    size_t used = 0;
    port = std::stoi(text.substr(colon + 1), &used);
    return used == text.size() - colon - 1 && port >= 0 && port <= 65535;
  } catch (const std::exception&) {
    return false;
  }
}

// Written to a temporary file first, so a reader never sees half of it.
void WritePortFile(const std::string& path, const std::string& address) {
  std::string temporary = path + ".tmp." + std::to_string(getpid());
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << address << "\n";
    if (!out.flush()) throw std::runtime_error("cannot write port file " + temporary);
  }
  std::filesystem::rename(temporary, path);
}

struct ServeFlags {
  std::string listen = "127.0.0.1:8080";
  std::string port_file;
  size_t max_body = size_t{64} << 20;
  std::string web_host;
  std::string update = "none";
  std::string update_url;
};

int Serve(const std::string& db_path, const ServeFlags& flags) {
  ServerOptions options;
  if (!ParseListen(flags.listen, options.host, options.port)) {
    std::cerr << "serve: --listen must be HOST:PORT, got '" << flags.listen << "'\n";
    return 2;
  }
  std::optional<UpdateNotice> update = MakeUpdateNotice(flags.update, flags.update_url);
  if (!update) {
    std::cerr << "serve: --update must be none, MINOR or MAJOR\n";
    return 2;
  }
  options.update = *update;
  options.max_body = flags.max_body;
  options.web_host = flags.web_host;

  // Block the stop signals in every thread; one thread waits for them.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  signal(SIGPIPE, SIG_IGN);  // a dropped client must not end the server

  std::unique_ptr<ProviderStore> store = OpenStore(db_path);
  ProviderServer server(*store, options);
  int port = server.Bind();
  std::string address = options.host + ":" + std::to_string(port);
  std::cout << address << std::endl;
  if (!flags.port_file.empty()) WritePortFile(flags.port_file, address);

  std::atomic<bool> serving{true};
  std::thread stopper([&] {
    int signal_number = 0;
    sigwait(&stop_signals, &signal_number);
    // Stop() is a no-op until the listener runs, so repeat until it ends.
    while (serving) {
      server.Stop();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  bool ok = server.Run();
  serving = false;
  kill(getpid(), SIGTERM);  // release the stopper if no signal came
  stopper.join();
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Stand-in for the bulk-SMS provider's web service"};
  app.require_subcommand(1);
  std::string db_path = DefaultDbPath();

  ServeFlags serve_flags;
  CLI::App* serve = app.add_subcommand("serve", "Answer the service pages over HTTP");
  serve->add_option("--db", db_path, "Database file");
  serve->add_option("--listen", serve_flags.listen, "HOST:PORT to listen on (port 0: any)");
  serve->add_option("--port-file", serve_flags.port_file, "File to write HOST:PORT into");
  serve->add_option("--max-body", serve_flags.max_body, "Largest request body in bytes");
  serve->add_option("--web-host", serve_flags.web_host, "Host name the web pages link to");
  serve->add_option("--update", serve_flags.update, "Update check answer: none, MINOR, MAJOR");
  serve->add_option("--update-url", serve_flags.update_url, "Address of the new plug-in");

  CLI::App* account = app.add_subcommand("account", "Manage accounts");
  account->require_subcommand(1);
  Account fields;
  std::string password, dnd, senders, sender_reply;
  int64_t credits = 0;
  auto add_fields = [&](CLI::App* command, bool required_id) {
    command->add_option("--db", db_path, "Database file");
    CLI::Option* id = command->add_option("--id", fields.id, "Login id");
    if (required_id) id->required();
    command->add_option("--password", password, "Password");
    command->add_option("--credits", credits, "Credits left");
    command->add_option("--dnd", dnd, "DND status code: 1..7, 10, 50 or 0");
    command->add_option("--senders", senders, "Sender ids, comma-separated");
    command->add_option("--sender-reply", sender_reply, "GetSenderID form: code-list, list, code");
    command->add_flag("--first-login,!--no-first-login", fields.first_login,
                      "Answer 1019 to login validation");
  };
  CLI::App* add = account->add_subcommand("add", "Add an account");
  add_fields(add, true);
  CLI::App* set = account->add_subcommand("set", "Change an account's fields");
  add_fields(set, true);
  CLI::App* list = account->add_subcommand("list", "List the accounts");
  list->add_option("--db", db_path, "Database file");
  CLI::App* remove = account->add_subcommand("remove", "Remove an account");
  remove->add_option("--db", db_path, "Database file");
  remove->add_option("--id", fields.id, "Login id")->required();

  bool json = false;
  CLI::App* runs = app.add_subcommand("runs", "Show the runs received");
  runs->add_option("--db", db_path, "Database file");
  runs->add_flag("--json", json, "Print JSON");

  CLI11_PARSE(app, argc, argv);

  try {
    if (serve->parsed()) return Serve(db_path, serve_flags);
    std::unique_ptr<ProviderStore> store = OpenStore(db_path);
    auto given = [](CLI::App* command, const char* name) { return command->count(name) > 0; };
    if (add->parsed()) {
      fields.password = password;
      fields.credits = credits;
      if (given(add, "--dnd")) fields.dnd = dnd;
      fields.senders = senders;
      if (given(add, "--sender-reply")) fields.sender_reply = sender_reply;
      return AddAccountCommand(*store, fields, std::cerr);
    }
    if (set->parsed()) {
      AccountChanges changes;
      if (given(set, "--password")) changes.password = password;
      if (given(set, "--credits")) changes.credits = credits;
      if (given(set, "--dnd")) changes.dnd = dnd;
      if (given(set, "--senders")) changes.senders = senders;
      if (given(set, "--sender-reply")) changes.sender_reply = sender_reply;
      if (given(set, "--first-login")) changes.first_login = fields.first_login;
      return ChangeAccountCommand(*store, fields.id, changes, std::cerr);
    }
    if (list->parsed()) return ListAccountsCommand(*store, std::cout);
    if (remove->parsed()) return RemoveAccountCommand(*store, fields.id, std::cerr);
    if (runs->parsed()) {
      std::vector<Run> all = store->ListRuns();
      std::cout << (json ? RunsToJson(all) + "\n" : RunsToText(all));
      return 0;
    }
  } catch (const std::exception& error) {
    std::cerr << "pelorin-provider: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
