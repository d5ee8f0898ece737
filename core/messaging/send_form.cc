#include "core/messaging/send_form.h"

#include <exception>
#include <stdexcept>

#include "core/host/application.h"
#include "core/host/clock.h"
#include "core/host/user_interface.h"
#include "core/login/login_form.h"
#include "core/messaging/message_editor.h"
#include "core/messaging/message_merge.h"
#include "core/settings/settings_store.h"

namespace pelorin {
namespace {

constexpr std::string_view kScheduleFields[] = {
    "lblSendDate", "ddlDay", "ddlMonth", "ddlYear", "lblSendBetween", "ddlSHH", "ddlSMM", "lFourth",
};

void ShowMessage(UserInterface& ui, std::string_view text) {
  ui.MessageBox(text, message_box::kOkOnly, message_box::kDefaultTitle);
}

}  // namespace

frmSendSMS::frmSendSMS(AddinContext& context)
    : Form(context.ui, "frmSendSMS", "Send Text Message", 8970, 7200),
      context_(context),
      send_request_handler_([this](const SendRequest& request) { RunSend(request); }),
      preview_merge_(MergeRowMessage) {}

// The windows this dialog opened go with it: no host window may outlive its
// model.
frmSendSMS::~frmSendSMS() {
  for (auto& preview : previews_) preview->Unload();
  if (login_) login_->Unload();
  if (objPopup_) objPopup_->Unload();
}

void frmSendSMS::WireHandlers() {
  control("btnCancel").on_click = [this] { Hide(); };
  control("btnSend").on_click = [this] { OnSendClick(); };
  control("btnPreview").on_click = [this] { OnPreviewClick(); };
  control("btnAddCell").on_click = [this] { InsertPlaceholder(); };
  control("lstCells").on_double_click = [this] { InsertPlaceholder(); };
  control("chkSendLater").on_click = [this] { SetScheduleFieldsVisible(control("chkSendLater").checked); };
  control("optSimpleRange").on_click = [this] { SelectRangeMode(false); };
  control("optMultiRange").on_click = [this] { SelectRangeMode(true); };

  control("txtMessage").on_key_press = [this](forms::KeyCode& key) {
    UpdateLengthCounter(control("txtMessage"), key, control("txtCount"));
  };
  for (std::string_view row_box : {"txtStartRow", "txtEndRow"}) {
    forms::Control& box = control(row_box);
    box.on_key_press = FilterRowCharacter;
    box.on_key_down = [](forms::KeyCode& key, int) { FilterRowKeyCode(key); };
    box.on_key_up = [](forms::KeyCode& key, int) { FilterRowKeyCode(key); };
  }
  forms::Control& range_box = control("txtMultiRange");
  range_box.on_key_press = FilterRangeCharacter;
  range_box.on_key_down = [](forms::KeyCode& key, int) { FilterRangeKeyCode(key); };
  range_box.on_key_up = [](forms::KeyCode& key, int) { FilterRangeKeyCode(key); };
}

void frmSendSMS::HideScheduleFields() { SetScheduleFieldsVisible(false); }

void frmSendSMS::ShowScheduleFields() { SetScheduleFieldsVisible(true); }

void frmSendSMS::SetScheduleFieldsVisible(bool visible) {
  for (std::string_view name : kScheduleFields) control(name).visible = visible;
}

void frmSendSMS::SelectRangeMode(bool multiple) {
  forms::Control& range = control("txtMultiRange");
  range.enabled = multiple;
  if (!multiple) range.text.clear();
  for (std::string_view row_box : {"txtStartRow", "txtEndRow"}) {
    forms::Control& box = control(row_box);
    box.enabled = !multiple;
    if (multiple) box.text.clear();
  }
}

void frmSendSMS::AddToText(forms::Control& t, std::string_view s, bool appendNewLine) {
  try {
    pelorin::AddToText(t, s, appendNewLine);
  } catch (const std::exception&) {
    context_.ui.SetBusyCursor(false);
  }
}

void frmSendSMS::InsertPlaceholder() {
  try {
    std::string column = control("lstCells").SelectedItem();
    if (column.empty() || context_.application == nullptr) return;
    InsertColumnPlaceholder(*context_.application, column, control("txtMessage"));
    SetFocus("txtMessage");
  } catch (const std::exception&) {
    // The host could not select the column: the placeholder is not added.
  }
}

SendDialogInput frmSendSMS::ReadInput() {
  SendDialogInput input;
  input.message = control("txtMessage").text;
  input.multiple_range = control("optMultiRange").checked;
  input.start_row = control("txtStartRow").text;
  input.end_row = control("txtEndRow").text;
  input.range_text = control("txtMultiRange").text;
  input.send_later = control("chkSendLater").checked;
  ScheduleFields& s = input.schedule;
  s.year = control("ddlYear").SelectedItem();
  s.month = control("ddlMonth").SelectedItem();
  s.day = control("ddlDay").SelectedItem();
  s.start_hour = control("ddlSHH").SelectedItem();
  s.start_minute = control("ddlSMM").SelectedItem();
  s.end_hour = control("ddlEHH").SelectedItem();
  s.end_minute = control("ddlEMM").SelectedItem();
  input.dnd_code = dnd_code_;
  input.mobile_column = control("ddlMCol").SelectedItem();
  input.flash = control("chkFlash").checked;
  input.sender_id = control("ddlSenderID").SelectedItem();
  return input;
}

void frmSendSMS::Refuse(const Refusal& refusal) {
  ShowMessage(context_.ui, refusal.message);
  if (!refusal.focus.empty()) SetFocus(refusal.focus);
  context_.ui.SetBusyCursor(false);
}

void frmSendSMS::ShowLogin() {
  if (show_login_) {
    show_login_();
    return;
  }
  if (!login_) login_ = std::make_unique<frmLogin>(context_);
  login_->Show();
}

void frmSendSMS::OnSendClick() {
  UserInterface& ui = context_.ui;
  ui.SetBusyCursor(true);
  SendValidation checked;
  try {
    checked = ValidateSend(ReadInput(), context_.settings.IsLoggedIn(), context_.clock.Now());
  } catch (const std::exception& error) {
    ShowMessage(ui, error.what());
    ui.SetBusyCursor(false);
    return;
  }
  switch (checked.outcome) {
    case SendValidation::Outcome::kNeedsLogin:
      ui.SetBusyCursor(false);
      ShowLogin();
      return;
    case SendValidation::Outcome::kRefused:
      Refuse(checked.refusal);
      return;
    case SendValidation::Outcome::kAccepted:
      break;
  }
  try {
    if (send_gate_ && !send_gate_(checked.request)) {
      ui.SetBusyCursor(false);
      return;
    }
    if (send_request_handler_) send_request_handler_(checked.request);
  } catch (const std::exception&) {
    ShowMessage(ui, send_messages::kProcessingError);
  }
  ui.SetBusyCursor(false);
}

void frmSendSMS::RunSend(const SendRequest& request) {
  if (context_.application == nullptr) throw std::runtime_error("no spreadsheet host");
  const Worksheet& sheet = context_.application->ActiveSheet();
  if (!objPopup_) objPopup_ = std::make_unique<frmPopup>(context_.ui, this);
  SendRun run(context_, sheet);
  if (send_progress_) run.set_progress_callback(send_progress_);
  run.set_row_filter(row_filter_);
  last_send_result_ = run.Run(request, *objPopup_);
}

void frmSendSMS::OnPreviewClick() {
  UserInterface& ui = context_.ui;
  ui.SetBusyCursor(true);
  PreviewValidation checked;
  try {
    checked = ValidatePreview(ReadInput());
  } catch (const std::exception&) {
    ui.SetBusyCursor(false);
    return;
  }
  if (!checked.accepted) {
    Refuse(checked.refusal);
    return;
  }
  ShowPreview(checked.request);
}

void frmSendSMS::ShowPreview(const PreviewRequest& request) {
  UserInterface& ui = context_.ui;
  try {
    if (!preview_) preview_ = std::make_unique<frmPreview>(ui);
    if (context_.application == nullptr) throw std::runtime_error("no spreadsheet host");
    if (!preview_merge_) throw std::logic_error("no message merge for the preview");
    const Worksheet& sheet = context_.application->ActiveSheet();
    PreviewSources sources{sheet, preview_merge_, control("lblWIDTH"), ui};
    if (FillPreview(*preview_, request, sources) == PreviewFill::kInvalidMultipleRange) {
      // A half-filled window is dropped, so the next preview starts afresh.
      preview_.reset();
      ShowMessage(ui, send_messages::kInvalidMultipleRange);
      ui.SetBusyCursor(false);
      return;
    }
    preview_->Show();
    previews_.push_back(std::move(preview_));
    ui.SetBusyCursor(false);
  } catch (const std::exception&) {
    preview_.reset();
    ui.SetBusyCursor(false);
    ShowMessage(ui, send_messages::kProcessingError);
  }
}

}  // namespace pelorin
