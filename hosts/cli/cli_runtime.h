// Everything one run of the command line works with: the posix platform's
// services, the core's stores and clients over them, and the add-in
// connected to a menu bar of its own, so that each subcommand can click the
// menu command it stands for.
#pragma once

#include <chrono>
#include <ostream>
#include <string_view>
#include <thread>

#include "core/addin/addin_context.h"
#include "core/addin/connect.h"
#include "core/service/service_client.h"
#include "core/settings/settings_store.h"
#include "hosts/cli/recording_services.h"
#include "core/messaging/run_name_claim.h"
#include "hosts/cli/stream_user_interface.h"
#include "hosts/cli/workbook_application.h"
#include "platform/posix/curl_transport.h"
#include "platform/posix/file_run_journal_store.h"
#include "platform/posix/file_settings_backend.h"
#include "platform/posix/posix_network_interfaces.h"
#include "platform/posix/posix_run_lock.h"
#include "platform/posix/system_clock.h"
#include "platform/posix/xdg_browser.h"

namespace pelorin::cli {

class CliRuntime {
 public:
  // Message boxes go to `err`. Reads the settings folders from the
  // environment.
  explicit CliRuntime(std::ostream& err);
  // Takes the menu away without the exit question: the command line keeps
  // the session until `pelorin logout`.
  ~CliRuntime();
  CliRuntime(const CliRuntime&) = delete;
  CliRuntime& operator=(const CliRuntime&) = delete;

  // Connects the add-in, which builds the "Pelorin" menu.
  void ConnectAddin();
  // Clicks the menu command with this caption; false when the menu does not
  // have it enabled and visible.
  bool ClickMenu(std::string_view caption);

  // After a command that needs a login: true, having told the user, when it
  // opened the login dialog instead (nobody was logged in).
  bool RefusedForLogin();

  SettingsStore& settings() { return settings_; }
  SettingsBackend& backend() { return backend_; }
  RunJournalStore& journal() { return journal_; }
  RunLock& run_lock() { return run_lock_; }
  StreamUserInterface& ui() { return ui_; }
  WorkbookApplication& application() { return application_; }
  AddinContext& context() { return context_; }
  const RecordingBrowser& browser() const { return recording_browser_; }
  const RecordingTransport& transport() const { return recording_transport_; }

 private:
  posix::FileSettingsBackend backend_;
  posix::FileRunJournalStore journal_;
  posix::CurlTransport transport_;
  posix::SystemClock clock_;
  posix::PosixNetworkInterfaces network_;
  posix::XdgBrowser browser_;
  posix::PosixRunLock run_lock_{backend_.DirectoryOf(SettingsGroup::kSession)};
  RunNameClaim run_names_{clock_, backend_,
                          [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }};
  RecordingTransport recording_transport_{transport_};
  RecordingBrowser recording_browser_{browser_};
  SettingsStore settings_{backend_};
  StreamUserInterface ui_;
  ServiceClient service_{recording_transport_, settings_, ui_};
  WorkbookApplication application_;
  AddinContext context_{ui_,      settings_,          service_, clock_,
                        network_, recording_browser_, nullptr,  nullptr, &journal_, &run_names_};
  Connect connect_{context_};
  bool connected_ = false;
};

}  // namespace pelorin::cli
