#include "core/addin/connect.h"

#include "core/addin/addin_context.h"
#include "core/addin/excel_controls.h"
#include "core/addin/excel_events.h"
#include "core/host/application.h"
#include "core/host/user_interface.h"
#include "core/settings/settings_store.h"

namespace pelorin {

Connect::Connect(AddinContext& context) : context_(context) {}

// Whatever this connection put into the context must not outlive it.
Connect::~Connect() {
  if (objExcelControls_ && context_.controls == objExcelControls_.get()) context_.controls = nullptr;
  if (objExcelApp_ != nullptr && context_.application == objExcelApp_) context_.application = nullptr;
}

void Connect::OnConnection(Application& application, ConnectMode /*mode*/,
                           std::shared_ptr<void> add_in_instance) {
  objAddInInstance_ = std::move(add_in_instance);
  context_.application = nullptr;
  context_.controls = nullptr;
  if (!application.IsSpreadsheetHost()) return;

  objExcelApp_ = &application;
  context_.application = &application;

  objExcelEvents_ = std::make_unique<CExcelEvents>();
  objExcelEvents_->set_pExcelApp(&application);

  objExcelControls_ = std::make_unique<CExcelControls>(context_);
  context_.controls = objExcelControls_.get();
  objExcelControls_->ExcelApp(application);
  objExcelControls_->CreateMenus();

  ShowLoginState();
}

// A login stored by an earlier run is still in force.
void Connect::ShowLoginState() {
  const bool logged_in = context_.settings.IsLoggedIn();
  objExcelControls_->MenuLogin()->SetEnabled(!logged_in);
  objExcelControls_->MenuLogout()->SetEnabled(logged_in);
}

void Connect::OnDisconnection(RemoveMode /*mode*/) {
  if (objExcelApp_ != nullptr) {
    if (objExcelEvents_) objExcelEvents_->set_pExcelApp(nullptr);
    objExcelEvents_.reset();

    if (objExcelControls_) objExcelControls_->RemoveMenus();
    context_.controls = nullptr;
    objExcelControls_.reset();

    objExcelApp_ = nullptr;
    context_.application = nullptr;

    AskToForgetLogin();
  }
  objAddInInstance_.reset();
}

// Asked after the menu is gone; either answer lets the disconnection finish.
void Connect::AskToForgetLogin() {
  if (!context_.settings.IsLoggedIn()) return;
  int answer = context_.ui.MessageBox(kExitQuestion, message_box::kYesNo | message_box::kQuestion,
                                      message_box::kDefaultTitle);
  if (answer == message_box::kAnswerYes) context_.settings.ClearLoginDetails();
}

}  // namespace pelorin
