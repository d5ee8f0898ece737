// CExcelControls: the "Pelorin" menu on the host's worksheet menu bar, its
// nine commands, and what a click on each of them does.
#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "core/addin/open_forms.h"

namespace pelorin {

struct AddinContext;
class Application;
class CGlobal;
class CommandBarButton;
class CommandBarPopup;

inline constexpr std::string_view kMenuCaption = "Pelorin";
inline constexpr std::string_view kLoggedOut = "Logged out Successfully!!!";

// The commands in menu order; a command's caption is also its tooltip.
enum class MenuCommand {
  kLogin,
  kSendSMS,
  kCreditBalance,
  kProxy,
  kPacketSize,
  kContact,
  kHelp,
  kUserDemo,
  kLogout,
};

struct MenuCommandRow {
  MenuCommand command;
  std::string_view caption;
  bool visible;  // as created
  bool enabled;  // as created
};

// "User Demo" is wired like the others but nothing ever shows it.
inline constexpr std::array<MenuCommandRow, 9> kMenuCommands{{
    {MenuCommand::kLogin, "Login", true, true},
    {MenuCommand::kSendSMS, "Send Text Message", true, true},
    {MenuCommand::kCreditBalance, "Credit Balance", true, true},
    {MenuCommand::kProxy, "Proxy Settings", true, true},
    {MenuCommand::kPacketSize, "Packet Size Settings", true, true},
    {MenuCommand::kContact, "Contact Us", true, true},
    {MenuCommand::kHelp, "Help", true, true},
    {MenuCommand::kUserDemo, "User Demo", false, true},
    {MenuCommand::kLogout, "Logout", true, false},
}};

class CExcelControls {
 public:
  explicit CExcelControls(AddinContext& context);
  // Detaches the click handlers of buttons still on the menu, and unloads
  // the dialogs the commands left open.
  ~CExcelControls();
  CExcelControls(const CExcelControls&) = delete;
  CExcelControls& operator=(const CExcelControls&) = delete;

  void ExcelApp(Application& application) { ExcelApp_ = &application; }

  // Adds the popup at the end of the worksheet menu bar and the nine buttons
  // to it; no earlier copy is looked for. Host errors propagate.
  void CreateMenus();
  // Deletes the buttons, last first; the popup stays on the bar, empty, until
  // the host exits. Host errors propagate.
  void RemoveMenus();

  // The buttons, for those that follow the login state; null before CreateMenus.
  CommandBarButton* MenuLogin() const { return Button(MenuCommand::kLogin); }
  CommandBarButton* MenuSendSMS() const { return Button(MenuCommand::kSendSMS); }
  CommandBarButton* MenuCreditBalance() const { return Button(MenuCommand::kCreditBalance); }
  CommandBarButton* MenuProxy() const { return Button(MenuCommand::kProxy); }
  CommandBarButton* MenuPacketSize() const { return Button(MenuCommand::kPacketSize); }
  CommandBarButton* MenuContact() const { return Button(MenuCommand::kContact); }
  CommandBarButton* MenuHelp() const { return Button(MenuCommand::kHelp); }
  CommandBarButton* MenuUserDemo() const { return Button(MenuCommand::kUserDemo); }
  CommandBarButton* MenuLogout() const { return Button(MenuCommand::kLogout); }

  // What a click on the command's button runs.
  void Execute(MenuCommand command);

 private:
  CommandBarButton* Button(MenuCommand command) const {
    return buttons_[static_cast<std::size_t>(command)];
  }
  CGlobal& Global();
  void ReleaseGlobal();

  void OnLogin();
  void OnSendSMS();
  void OnCreditBalance();
  void OnProxy();
  void OnPacketSize();
  void OnLogout();

  AddinContext& context_;
  Application* ExcelApp_ = nullptr;
  CommandBarPopup* mnuPelorin_ = nullptr;
  std::vector<CommandBarButton*> colMenuItems_;
  std::array<CommandBarButton*, kMenuCommands.size()> buttons_{};
  // Declared before objGlobal_ so that it outlives the dialogs' last holder.
  OpenForms open_forms_;
  std::unique_ptr<CGlobal> objGlobal_;
};

}  // namespace pelorin
