#include "core/login/login_form.h"

#include <exception>
#include <stdexcept>

#include "core/addin/web_links.h"
#include "core/dialogs/menu_enable.h"
#include "core/forms/busy_cursor.h"
#include "core/forms/control_builders.h"
#include "core/host/user_interface.h"
#include "core/login/login_validation.h"
#include "core/service/service_client.h"
#include "core/settings/local_ip.h"
#include "core/settings/scramble.h"
#include "core/settings/settings_store.h"
#include "core/settings/value_names.h"

namespace pelorin {
namespace {

using forms::Alignment;
using forms::Control;
using forms::ControlKind;
using forms::Rect;
using forms::Button;
using forms::Label;
using forms::MakeControl;
using forms::TextBox;

constexpr std::string_view kConnectError =
    "An Error Occured while Connecting to the server. Please try again";
constexpr std::string_view kDefaultFailMessage =
    "Login Failed. Please check you Login ID and Password";
constexpr forms::Rgb kStopRed{204, 0, 0};
constexpr forms::Rgb kLinkBlue{0, 0, 255};
constexpr forms::KeyCode kEnterKey = 13;

Control ErrorLabel(std::string name, std::string text, Rect rect) {
  Control label = Label(std::move(name), std::move(text), rect);
  label.fore_color = forms::kRed;
  return label;
}

Control Picture(std::string name, std::string picture, Rect rect) {
  Control image = MakeControl(std::move(name), ControlKind::kPicture, "", rect);
  image.picture = std::move(picture);
  return image;
}

}  // namespace

frmLogin::frmLogin(AddinContext& context)
    : Form(context.ui, "frmLogin", "LogIn", 5895, 4560), context_(context) {}

void frmLogin::BuildControls() {
  BuildLoginControls();
  BuildNoticeControls();
}

void frmLogin::BuildLoginControls() {
  Control& caption = AddControl(Label("lblCaption", "SMS Excel Plug-in", {240, 240, 5415, 375},
                                      Alignment::kCenter));
  caption.font.size_pt = 9.75;
  caption.font.bold = true;
  caption.fore_color = forms::kBlack;

  AddControl(Label("lblLoginID", "Login ID", {360, 960, 1335, 255}, Alignment::kRight));
  AddControl(TextBox("txtLoginID", {1920, 900, 2775, 330}, 1));
  AddControl(Label("lblPassword", "Password", {360, 1440, 1335, 255}, Alignment::kRight));
  Control& password = AddControl(TextBox("txtPassword", {1920, 1380, 2775, 330}, 2));
  password.password_char = "*";
  password.on_key_press = [this](forms::KeyCode& key) { OnPasswordKeyPress(key); };

  AddControl(Button("btnLogin", "Login", {1920, 1920, 1215, 375}, 3)).on_click = [this] {
    OnLoginClick();
  };
  AddControl(Button("btnCancel", "Cancel", {3480, 1920, 1215, 375}, 4)).on_click = [this] {
    Hide();
  };
  AddControl(Label("lblNotRegistered", "Not yet registered?", {360, 2520, 2535, 255},
                   Alignment::kRight));
  AddControl(Button("btnRegister", "Register", {3000, 2460, 1215, 375}, 5)).on_click = [this] {
    OnRegisterClick();
  };
}

void frmLogin::BuildNoticeControls() {
  AddControl(ErrorLabel("lblError", "Error:", {240, 3000, 615, 255}));
  AddControl(ErrorLabel("lblErrMsg", "You have to login atleast once in", {840, 3000, 2895, 255}));
  Control& link = AddControl(Label("lblErrLink", context_.settings.ServiceHost(),
                                   {3720, 3000, 2055, 255}));
  link.fore_color = kLinkBlue;
  link.acts_as_link = true;
  link.on_click = [this] { OnErrorLinkClick(); };
  AddControl(ErrorLabel("lblErrMsg2", "to activate Pelorin Excel Plugin", {840, 3255, 2895, 255}));

  AddControl(Picture("alert", "alert", {240, 3780, 375, 375}));
  AddControl(Label("lblalert", "New Excel PlugIn is Available", {720, 3840, 3255, 255}));
  Control& download = AddControl(Picture("imgDownload", "download", {4200, 3720, 1455, 495}));
  download.tooltip = "Click Here to Download New PlugIn";
  download.on_click = [this] { OnDownloadClick(); };
  AddControl(Picture("imgstop", "stop", {240, 3780, 375, 375})).visible = false;
}

void frmLogin::OnLoad() {
  HideErrorLabels();
  if (context_.settings.strGetSetting(value_names::kVersion) != kPluginVersion) {
    context_.settings.SaveVersion(kPluginVersion);
  }
  LoadValidation();
}

void frmLogin::SetErrorLabelsVisible(bool visible) {
  for (std::string_view name : {"lblError", "lblErrMsg", "lblErrLink", "lblErrMsg2"}) {
    control(name).visible = visible;
  }
}

std::string frmLogin::LoginValidation(const std::string& strUID, const std::string& strPWD) {
  try {
    std::string url = login::LoginValidationUrl(
        context_.settings.ServiceHost(), strUID, strPWD, strGetLocalIP(context_.network),
        context_.settings.strGetSetting(value_names::kVersion));
    login::LoginReply reply = login::ClassifyLoginReply(context_.service.strHttpPost(url));
    if (reply.dnd_status) context_.settings.SaveDNDStatus(*reply.dnd_status);
    if (reply.success_message) success_msg_ = *reply.success_message;
    if (reply.fail_message) fail_msg_ = *reply.fail_message;
    return reply.result;
  } catch (const std::exception&) {
    ui().MessageBox(kConnectError, message_box::kOkOnly, message_box::kDefaultTitle);
    return std::string(login::kError);
  }
}

std::string frmLogin::LoadValidation() {
  try {
    std::string url = login::UpdateCheckUrl(context_.settings.ServiceHost(),
                                            context_.settings.strGetSetting(value_names::kVersion));
    ApplyUpdateReply(context_.service.strHttpPost(url));
    return {};
  } catch (const std::exception&) {
    ui().MessageBox(kConnectError, message_box::kOkOnly, message_box::kDefaultTitle);
    return std::string(login::kError);
  }
}

void frmLogin::ApplyUpdateReply(const std::string& reply) {
  login::UpdateReply update = login::ClassifyUpdateReply(reply);
  if (update.download_url) download_url_ = *update.download_url;
  switch (update.notice) {
    case login::UpdateNotice::kAsDesigned:
      break;
    case login::UpdateNotice::kStop: {
      control("alert").picture = control("imgstop").picture;
      Control& text = control("lblalert");
      text.fore_color = kStopRed;
      text.text = "Please download New PlugIn";
      break;
    }
    case login::UpdateNotice::kHidden:
      for (std::string_view name : {"alert", "lblalert", "imgDownload"}) {
        control(name).visible = false;
      }
      break;
  }
}

void frmLogin::OnLoginClick() {
  forms::BusyCursor busy(ui());
  Control& login_button = control("btnLogin");
  login_button.enabled = false;
  try {
    const std::string user_id = control("txtLoginID").text;
    const std::string password = control("txtPassword").text;
    if (user_id.empty()) {
      ui().MessageBox("Please Enter the Login ID!!!", message_box::kOkOnly,
                      message_box::kDefaultTitle);
      SetFocus("txtLoginID");
    } else if (password.empty()) {
      ui().MessageBox("Please Enter the Password!!!", message_box::kOkOnly,
                      message_box::kDefaultTitle);
      SetFocus("txtPassword");
    } else {
      std::string result = LoginValidation(user_id, password);
      if (result == login::kSuccess) {
        context_.settings.SaveLoginDetails(user_id);
        // A store that refused the session would leave the user logged out
        // behind a success message.
        if (context_.settings.strGetSessionValue(value_names::kUserId) != strScramble(user_id)) {
          throw std::runtime_error("the session could not be stored");
        }
        SwitchMenuToLoggedIn();
      }
      ReportLoginResult(result);
    }
  } catch (const std::exception&) {
    ui().MessageBox(kConnectError, message_box::kOkOnly, message_box::kDefaultTitle);
  }
  login_button.enabled = true;
}

void frmLogin::ReportLoginResult(const std::string& result) {
  if (result == login::kSuccess) {
    ui().MessageBox(success_msg_, message_box::kOkOnly, message_box::kDefaultTitle);
    Hide();
  } else if (result == login::kChangePassword) {
    ShowErrorLabels();
  } else {
    if (fail_msg_.empty()) fail_msg_ = kDefaultFailMessage;
    ui().MessageBox(fail_msg_, message_box::kOkOnly, message_box::kDefaultTitle);
  }
}

void frmLogin::OnPasswordKeyPress(forms::KeyCode& key_ascii) {
  if (key_ascii != kEnterKey) return;
  key_ascii = 0;
  OnLoginClick();
}

void frmLogin::OnRegisterClick() { WebLinks(context_).Register(); }

void frmLogin::OnErrorLinkClick() { WebLinks(context_).ErrorLink(); }

void frmLogin::OnDownloadClick() {
  // The address comes from the service's reply: only a web address is handed
  // on, so a reply cannot make the desktop open a file or another scheme.
  if (!IsOpenableWebAddress(download_url_)) {
    ui().MessageBox(kOpenPageError, message_box::kOkOnly, message_box::kDefaultTitle);
    return;
  }
  WebLinks(context_).Download(download_url_);
}

void frmLogin::SwitchMenuToLoggedIn() {
  dialogs::SetMenuCommandEnabled(context_, MenuCommand::kLogin, false);
  dialogs::SetMenuCommandEnabled(context_, MenuCommand::kLogout, true);
}

}  // namespace pelorin
