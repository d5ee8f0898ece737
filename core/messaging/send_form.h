// The send dialog frmSendSMS: composes a bulk send from the active worksheet
// and checks it before handing it on; also opens previews of it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/addin/addin_context.h"
#include "core/forms/form.h"
#include "core/messaging/popup_form.h"
#include "core/messaging/preview_form.h"
#include "core/messaging/send_request_handler.h"
#include "core/messaging/send_run.h"
#include "core/messaging/send_validation.h"

namespace pelorin {

class frmLogin;

class frmSendSMS : public forms::Form {
 public:
  explicit frmSendSMS(AddinContext& context);
  ~frmSendSMS() override;

  // Receives every request that passes the checks of "Send SMS"; by
  // default the request is sent from the active worksheet (RunSend).
  void SetSendRequestHandler(SendRequestHandler handler) { send_request_handler_ = std::move(handler); }
  // Merges the preview's messages; the send's own merge unless replaced.
  void SetPreviewMerge(RowMessageMerge merge) { preview_merge_ = std::move(merge); }
  // Opens the login dialog when a send is asked for while nobody is logged
  // in; by default the dialog shows a login dialog of its own.
  void SetLoginShower(std::function<void()> show_login) { show_login_ = std::move(show_login); }

  // Asked with every request that passes the checks, before it is handed
  // on; false sends nothing (a check before the send found faults).
  void SetSendGate(std::function<bool(const SendRequest&)> gate) { send_gate_ = std::move(gate); }
  // Rows whose number the filter names are left out of this dialog's sends;
  // null (the default) leaves out none. The filter must outlive the sends.
  void SetRowFilter(const RowFilter* filter) { row_filter_ = filter; }

  // Told after every packet of a send run, for a host's progress bar.
  void SetSendProgressListener(std::function<void(const SendProgress&)> listener) {
    send_progress_ = std::move(listener);
  }
  // Sends a checked request from the active worksheet, as the default
  // handler does; a handler of its own calls it for the requests it passes.
  void RunSend(const SendRequest& request);
  // How the last send run from this dialog ended; empty before the first.
  const std::optional<SendRunResult>& last_send_result() const { return last_send_result_; }
  // The status window of this dialog's runs (objPopup), null before the first.
  frmPopup* status_window() const { return objPopup_.get(); }

  // "50" once the service named the account exempt from the DND window.
  const std::string& strDNDCode() const { return dnd_code_; }

  void HideScheduleFields();
  void ShowScheduleFields();

  // Appends `s` to the box `t` (and a line break when asked), keeping the
  // user's caret or selection.
  void AddToText(forms::Control& t, std::string_view s, bool appendNewLine = false);

  // The controls' content as the checks read it at a click.
  SendDialogInput ReadInput();

  // The preview windows shown so far, oldest first; a new preview never
  // touches an earlier window.
  const std::vector<std::unique_ptr<frmPreview>>& previews() const { return previews_; }

 protected:
  void BuildControls() override;
  void OnLoad() override;

 private:
  void WireHandlers();
  void OnSendClick();
  void OnPreviewClick();
  void ShowPreview(const PreviewRequest& request);
  void InsertPlaceholder();
  void SelectRangeMode(bool multiple);
  void SetScheduleFieldsVisible(bool visible);
  void ShowLogin();
  void Refuse(const Refusal& refusal);

  // The set-up steps, in the order the load runs them.
  void ShowStoredStatus(std::string& stored_status);
  void ApplySenderIdReply(const std::string& reply, std::string& stored_status);
  void ApplyPlainList(const std::string& list, std::string& stored_status);
  void ApplyCodedReply(const std::string& code, const std::string& list, std::string& stored_status);
  void FillSenderIds(const std::string& list);
  void FillColumnLists();
  void FillHourLists(const std::string& stored_status, int hour);
  void FillDateAndMinuteLists();
  void StoreStatus(std::string_view code, std::string& stored_status);

  // The three arrangements of the status row at the top of the dialog.
  void ArrangeStatusOnly();
  void ArrangeSenderAndStatus();
  void ArrangeStatusRight();
  void ShowCategoryOrActive(std::string_view code);

  AddinContext& context_;
  std::string dnd_code_;
  SendRequestHandler send_request_handler_;
  RowMessageMerge preview_merge_;
  std::function<void()> show_login_;
  std::unique_ptr<frmLogin> login_;
  std::unique_ptr<frmPreview> preview_;  // the window being filled (objPreview)
  std::vector<std::unique_ptr<frmPreview>> previews_;
  std::function<void(const SendProgress&)> send_progress_;
  std::function<bool(const SendRequest&)> send_gate_;
  const RowFilter* row_filter_ = nullptr;
  std::unique_ptr<frmPopup> objPopup_;
  std::optional<SendRunResult> last_send_result_;
};

}  // namespace pelorin
