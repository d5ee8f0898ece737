// Everything one connection of the add-in works with: the Windows platform's
// services, core's stores and clients over them, and the shared context.
#pragma once

#include <windows.h>

#include "core/addin/addin_context.h"
#include "core/messaging/run_name_claim.h"
#include "core/service/service_client.h"
#include "core/settings/settings_store.h"
#include "hosts/excel/excel_user_interface.h"
#include "platform/win32/file_run_journal_store.h"
#include "platform/win32/ip_helper_network_interfaces.h"
#include "platform/win32/local_clock.h"
#include "platform/win32/registry_settings_backend.h"
#include "platform/win32/shell_browser.h"
#include "platform/win32/winhttp_transport.h"

namespace pelorin::excel {

class AddinRuntime {
 public:
  AddinRuntime() = default;
  AddinRuntime(const AddinRuntime&) = delete;
  AddinRuntime& operator=(const AddinRuntime&) = delete;

  AddinContext& context() { return context_; }
  ExcelUserInterface& ui() { return ui_; }

 private:
  win32::RegistrySettingsBackend backend_;
  win32::WinHttpTransport transport_;
  win32::LocalClock clock_;
  win32::IpHelperNetworkInterfaces network_;
  win32::ShellBrowser browser_;
  win32::FileRunJournalStore journal_{win32::FileRunJournalStore::ForCurrentUser()};
  SettingsStore settings_{backend_};
  ExcelUserInterface ui_;
  ServiceClient service_{transport_, settings_, ui_};
  RunNameClaim run_names_{clock_, backend_, [] { ::Sleep(50); }};
  AddinContext context_{ui_,      settings_, service_,  clock_,     network_,
                        browser_, nullptr,   nullptr,   &journal_, &run_names_};
};

}  // namespace pelorin::excel
