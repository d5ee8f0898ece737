// The login dialog (frmLogin): the only place where a user logs in. It runs
// the update check when it loads and validates a login id and password with
// the service.
//
// Driving it from a host or the command line: Load() (or Show()) runs the
// load steps, update check included; fill the boxes with
// SetText("txtLoginID", id) and SetText("txtPassword", password), then
// Click("btnLogin"). Message boxes go through the UserInterface; afterwards
// visible() tells whether the dialog closed itself (a success), and
// control("lblError").visible whether the service asked for a first login on
// its web site. control("alert"/"lblalert"/"imgDownload") and
// strDownloadURL() describe the update notice.
//
// Controls by name: lblCaption, lblLoginID, lblPassword, txtLoginID,
// txtPassword, btnLogin, btnCancel, lblNotRegistered, btnRegister, lblError,
// lblErrMsg, lblErrLink, lblErrMsg2, alert, lblalert, imgDownload, imgstop.
#pragma once

#include <string>

#include "core/addin/addin_context.h"
#include "core/forms/form.h"

namespace pelorin {

class frmLogin : public forms::Form {
 public:
  explicit frmLogin(AddinContext& context);

  // One validation exchange with the service: "SUCCESS", "FAIL",
  // "CHANGE_PWD", or "ERROR" after an error it reported itself. Stores the
  // DND status of a three-field reply; the caller stores the session.
  std::string LoginValidation(const std::string& strUID, const std::string& strPWD);
  // The update check; sets the update notice and strDownloadURL. Answers
  // "ERROR" after an error it reported itself, otherwise the empty text.
  std::string LoadValidation();

  void HideErrorLabels() { SetErrorLabelsVisible(false); }
  void ShowErrorLabels() { SetErrorLabelsVisible(true); }

  // What earlier exchanges left; they live as long as the dialog object.
  const std::string& strSuccessMsg() const { return success_msg_; }
  const std::string& strFailMsg() const { return fail_msg_; }
  const std::string& strDownloadURL() const { return download_url_; }

 protected:
  void BuildControls() override;
  void OnLoad() override;

 private:
  void BuildLoginControls();
  void BuildNoticeControls();
  void SetErrorLabelsVisible(bool visible);
  void ApplyUpdateReply(const std::string& reply);

  void OnLoginClick();
  void ReportLoginResult(const std::string& result);
  void OnPasswordKeyPress(forms::KeyCode& key_ascii);
  void OnRegisterClick();
  void OnErrorLinkClick();
  void OnDownloadClick();
  void SwitchMenuToLoggedIn();

  AddinContext& context_;
  std::string success_msg_;
  std::string fail_msg_;
  std::string download_url_;
};

}  // namespace pelorin
