#include "posix_addin.h"

#include <stdexcept>

#include "core/dialogs/proxy_form.h"
#include "core/login/login_form.h"

namespace pelorin::service_test {

PosixAddin::PosixAddin(const std::filesystem::path& folder)
    : backend(folder / "settings", folder / "session") {
  controls_.ExcelApp(application);
  controls_.CreateMenus();
  context.controls = &controls_;
}

// The dialogs the commands left open unload with the command set, after the
// context stops naming it.
PosixAddin::~PosixAddin() { context.controls = nullptr; }

testing::FakeButton& PosixAddin::MenuButton(const std::string& caption) const {
  testing::FakePopup* popup = application.PelorinPopup();
  testing::FakeButton* button = popup == nullptr ? nullptr : popup->Find(caption);
  if (button == nullptr) throw std::out_of_range("no menu command " + caption);
  return *button;
}

void PosixAddin::Click(const std::string& caption) { MenuButton(caption).Click(); }

template <typename Dialog>
Dialog& PosixAddin::LastShown(const char* what) {
  auto* dialog = dynamic_cast<Dialog*>(ui.last_shown);
  if (dialog == nullptr || !dialog->visible()) {
    throw std::runtime_error(std::string("the ") + what + " dialog is not showing");
  }
  return *dialog;
}

frmLogin& PosixAddin::OpenLogin() {
  Click("Login");
  return LastShown<frmLogin>("login");
}

void PosixAddin::LogIn(frmLogin& dialog, const std::string& id, const std::string& password) {
  dialog.SetText("txtLoginID", id);
  dialog.SetText("txtPassword", password);
  dialog.Click("btnLogin");
}

frmProxySettings& PosixAddin::OpenProxySettings() {
  Click("Proxy Settings");
  return LastShown<frmProxySettings>("proxy");
}

}  // namespace pelorin::service_test
