#include "hosts/cli/cli_runtime.h"

#include "core/addin/excel_controls.h"

namespace pelorin::cli {

CliRuntime::CliRuntime(std::ostream& err)
    : backend_(posix::FileSettingsBackend::FromEnvironment()),
      journal_(posix::FileRunJournalStore::FromEnvironment()),
      ui_(err) {}

CliRuntime::~CliRuntime() = default;

void CliRuntime::ConnectAddin() {
  if (connected_) return;
  connect_.OnConnection(application_, ConnectMode::kCommandLine, nullptr);
  connected_ = true;
}

bool CliRuntime::ClickMenu(std::string_view caption) {
  ConnectAddin();
  MenuPopup* popup = application_.menu_bar().Find(std::string(kMenuCaption));
  if (popup == nullptr) return false;
  MenuButton* button = popup->Find(std::string(caption));
  return button != nullptr && button->Click();
}

bool CliRuntime::RefusedForLogin() {
  if (settings_.IsLoggedIn() || ui_.ShownForm("frmLogin") == nullptr) return false;
  ui_.MessageBox("Nobody is logged in: run pelorin login first.", message_box::kOkOnly,
                 message_box::kDefaultTitle);
  return true;
}

}  // namespace pelorin::cli
