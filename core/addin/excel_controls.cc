#include "core/addin/excel_controls.h"

#include <stdexcept>
#include <string>

#include "core/addin/addin_context.h"
#include "core/addin/credit_query.h"
#include "core/addin/global.h"
#include "core/addin/web_links.h"
#include "core/host/application.h"
#include "core/host/user_interface.h"
#include "core/settings/settings_store.h"
#include "core/text/replace.h"

namespace pelorin {
namespace {

CommandBarButton& Require(CommandBarButton* button) {
  if (button == nullptr) throw std::logic_error("the Pelorin menu has not been built");
  return *button;
}

}  // namespace

CExcelControls::CExcelControls(AddinContext& context) : context_(context) {}

// A host can keep a temporary button after the add-in has gone; its click
// must not reach a dead object.
CExcelControls::~CExcelControls() {
  for (CommandBarButton* button : buttons_) {
    if (button == nullptr) continue;
    try {
      button->SetClickHandler(nullptr);
    } catch (...) {
    }
  }
}

void CExcelControls::CreateMenus() {
  if (ExcelApp_ == nullptr) throw std::logic_error("CreateMenus: no host application was given");
  CommandBarPopup& popup = ExcelApp_->WorksheetMenuBar().AddPopup();
  mnuPelorin_ = &popup;
  popup.SetCaption(std::string(kMenuCaption));
  for (const MenuCommandRow& row : kMenuCommands) {
    CommandBarButton& button = popup.AddButton();
    buttons_[static_cast<std::size_t>(row.command)] = &button;
    button.SetClickHandler([this, command = row.command] { Execute(command); });
    button.SetCaption(std::string(row.caption));
    button.SetTooltip(std::string(row.caption));
    if (!row.visible) button.SetVisible(false);
    if (!row.enabled) button.SetEnabled(false);
    colMenuItems_.push_back(&button);
  }
}

void CExcelControls::RemoveMenus() {
  while (!colMenuItems_.empty()) {
    CommandBarButton* button = colMenuItems_.back();
    button->SetClickHandler(nullptr);
    button->Delete();
    colMenuItems_.pop_back();
    for (CommandBarButton*& member : buttons_) {
      if (member == button) member = nullptr;
    }
  }
}

void CExcelControls::Execute(MenuCommand command) {
  WebLinks links(context_);
  switch (command) {
    case MenuCommand::kLogin: return OnLogin();
    case MenuCommand::kSendSMS: return OnSendSMS();
    case MenuCommand::kCreditBalance: return OnCreditBalance();
    case MenuCommand::kProxy: return OnProxy();
    case MenuCommand::kPacketSize: return OnPacketSize();
    case MenuCommand::kContact: return links.ContactUs();
    case MenuCommand::kHelp: return links.Help();
    case MenuCommand::kUserDemo: return links.UserDemo();
    case MenuCommand::kLogout: return OnLogout();
  }
}

CGlobal& CExcelControls::Global() {
  if (!objGlobal_) objGlobal_ = std::make_unique<CGlobal>(context_, open_forms_);
  return *objGlobal_;
}

void CExcelControls::ReleaseGlobal() { objGlobal_.reset(); }

void CExcelControls::OnLogin() {
  Global().LoginShow();
  ReleaseGlobal();
}

// The CGlobal is kept when no send dialog opened, so that the next command
// shows the login dialog it may have opened as the same dialog.
void CExcelControls::OnSendSMS() {
  try {
    CGlobal& global = Global();
    if (!context_.settings.IsLoggedIn()) {
      global.LoginShow();
      return;
    }
    if (!CreditQuery(context_).AllowsSend()) return;
    global.SendSMSShow();
    ReleaseGlobal();
  } catch (...) {
  }
}

void CExcelControls::OnCreditBalance() {
  try {
    if (!context_.settings.IsLoggedIn()) {
      Global().LoginShow();
      ReleaseGlobal();
      return;
    }
    CreditQuery(context_).ShowBalance();
  } catch (...) {
    context_.ui.MessageBox(kOpenPageError, message_box::kOkOnly, message_box::kDefaultTitle);
  }
}

void CExcelControls::OnProxy() {
  Global().ProxyShow();
  ReleaseGlobal();
}

void CExcelControls::OnPacketSize() {
  Global().PacketSizeShow();
  ReleaseGlobal();
}

// No request to the service: logging out only forgets the stored login.
void CExcelControls::OnLogout() {
  try {
    if (!EqualsIgnoreCase(context_.settings.strLogout(), "SUCCESS")) return;
    Require(MenuLogin()).SetEnabled(true);
    Require(MenuLogout()).SetEnabled(false);
    context_.ui.MessageBox(kLoggedOut, message_box::kOkOnly, message_box::kDefaultTitle);
  } catch (...) {
    context_.settings.ClearLoginDetails();
  }
}

}  // namespace pelorin
