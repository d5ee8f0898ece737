// The add-in's core wired to the real posix platform: settings files in a
// private folder, libcurl, getifaddrs and the system clock. Only the user's
// side is simulated: message boxes are recorded and the browser is a fake.
#pragma once

#include <filesystem>
#include <string>

#include "core/addin/addin_context.h"
#include "core/addin/excel_controls.h"
#include "core/service/service_client.h"
#include "core/settings/settings_store.h"
#include "platform/posix/curl_transport.h"
#include "platform/posix/file_settings_backend.h"
#include "platform/posix/posix_network_interfaces.h"
#include "platform/posix/system_clock.h"
#include "tests/support/fakes/fake_application.h"
#include "tests/support/fakes/fake_network.h"
#include "tests/support/fakes/fake_user_interface.h"

namespace pelorin {
class frmLogin;
class frmProxySettings;
}  // namespace pelorin

namespace pelorin::service_test {

class PosixAddin {
 public:
  // Keeps its settings under `folder` ("settings" and "session" in it) and
  // builds the Pelorin menu on a substitute command bar.
  explicit PosixAddin(const std::filesystem::path& folder);
  ~PosixAddin();
  PosixAddin(const PosixAddin&) = delete;
  PosixAddin& operator=(const PosixAddin&) = delete;

  // Points every request at the service on "HOST:PORT".
  void UseService(const std::string& host_port) { settings.SaveServiceHost(host_port); }

  // Clicks the menu command with this caption.
  void Click(const std::string& caption);
  testing::FakeButton& MenuButton(const std::string& caption) const;

  // The login dialog the Login command shows (and loads, update check and
  // all, the first time); throws when some other window came up.
  frmLogin& OpenLogin();
  // Fills the boxes of the open login dialog and clicks Login.
  void LogIn(frmLogin& dialog, const std::string& id, const std::string& password);
  frmProxySettings& OpenProxySettings();

  posix::FileSettingsBackend backend;
  posix::CurlTransport transport;
  posix::PosixNetworkInterfaces network;
  posix::SystemClock clock;
  testing::FakeUserInterface ui;
  testing::FakeBrowser browser;
  testing::FakeApplication application;
  SettingsStore settings{backend};
  ServiceClient service{transport, settings, ui};
  AddinContext context{ui, settings, service, clock, network, browser, &application, nullptr};

 private:
  template <typename Dialog>
  Dialog& LastShown(const char* what);

  CExcelControls controls_{context};
};

}  // namespace pelorin::service_test
