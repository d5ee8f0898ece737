#include "core/dialogs/menu_enable.h"

#include "core/addin/addin_context.h"
#include "core/host/command_bar.h"

namespace pelorin::dialogs {
namespace {

CommandBarButton* ButtonOf(const CExcelControls& controls, MenuCommand command) {
  switch (command) {
    case MenuCommand::kLogin: return controls.MenuLogin();
    case MenuCommand::kSendSMS: return controls.MenuSendSMS();
    case MenuCommand::kCreditBalance: return controls.MenuCreditBalance();
    case MenuCommand::kProxy: return controls.MenuProxy();
    case MenuCommand::kPacketSize: return controls.MenuPacketSize();
    case MenuCommand::kContact: return controls.MenuContact();
    case MenuCommand::kHelp: return controls.MenuHelp();
    case MenuCommand::kUserDemo: return controls.MenuUserDemo();
    case MenuCommand::kLogout: return controls.MenuLogout();
  }
  return nullptr;
}

}  // namespace

void SetMenuCommandEnabled(AddinContext& context, MenuCommand command, bool enabled) {
  if (context.controls == nullptr) return;
  if (CommandBarButton* button = ButtonOf(*context.controls, command)) button->SetEnabled(enabled);
}

}  // namespace pelorin::dialogs
