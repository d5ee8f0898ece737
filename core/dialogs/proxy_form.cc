#include "core/dialogs/proxy_form.h"

#include <array>
#include <exception>
#include <stdexcept>
#include <string_view>

#include "core/dialogs/digit_key.h"
#include "core/dialogs/menu_enable.h"
#include "core/forms/busy_cursor.h"
#include "core/forms/control_builders.h"
#include "core/host/user_interface.h"
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
using forms::TextBox;

constexpr std::array<std::string_view, 4> kOctetBoxes = {"txtProxyIp1", "txtProxyIp2",
                                                         "txtProxyIp3", "txtProxyIp4"};
constexpr std::string_view kAddError =
    "An Error Occured while Adding Proxy details. Please try again";

Control Dot(std::string name, int left) {
  Control dot = Label(std::move(name), ".", {left, 1200, 135, 255}, Alignment::kCenter);
  dot.font.size_pt = 9.75;
  dot.font.bold = true;
  return dot;
}

void Tell(UserInterface& ui, std::string_view text) {
  ui.MessageBox(text, message_box::kOkOnly, message_box::kDefaultTitle);
}

}  // namespace

frmProxySettings::frmProxySettings(AddinContext& context)
    : Form(context.ui, "frmProxySettings", "Proxy Settings", 6615, 3960), context_(context) {}

void frmProxySettings::BuildControls() {
  BuildAddressControls();
  BuildButtons();
}

void frmProxySettings::BuildAddressControls() {
  Control& caption =
      AddControl(Label("lblCaption", "Proxy Settings", {1200, 360, 4545, 375}, Alignment::kCenter));
  caption.font.size_pt = 9.75;
  caption.font.bold = true;
  caption.fore_color = forms::kBlack;

  AddControl(Label("lblProxyIP", "ProxyServerIP", {480, 1080, 1455, 210}, Alignment::kRight));
  constexpr std::array<int, 4> kOctetLefts = {2280, 3000, 3720, 4440};
  for (std::size_t i = 0; i < kOctetBoxes.size(); ++i) {
    Control& box = AddControl(TextBox(std::string(kOctetBoxes[i]), {kOctetLefts[i], 1080, 615, 375},
                                      static_cast<int>(i) + 1, 3));
    box.on_key_press = [](forms::KeyCode& key) { dialogs::AllowOnlyDigitKey(key); };
  }
  AddControl(Dot("lbldot", 2880));
  AddControl(Dot("Label1", 3600));
  AddControl(Dot("Label2", 4320));

  AddControl(Label("lblPort", "Port", {720, 1920, 1215, 210}, Alignment::kRight));
  AddControl(TextBox("txtPort", {2280, 1800, 2055, 375}, 5, 4));
}

void frmProxySettings::BuildButtons() {
  AddControl(Button("btnAddProxy", "Add", {2040, 2640, 975, 375}, 6)).on_click = [this] {
    OnAddClick();
  };
  AddControl(Button("btnRemoveProxy", "Remove", {3195, 2640, 975, 375}, 7)).on_click = [this] {
    OnRemoveClick();
  };
  AddControl(Button("btnProxyCancel", "Cancel", {4320, 2640, 1095, 375}, 8)).on_click = [this] {
    Hide();
  };

  Control& error = AddControl(
      Label("lblProxyError", "Error:", {240, 3000, 750, 255}, Alignment::kLeft));
  error.fore_color = forms::kRed;
  error.visible = false;
  Control& message = AddControl(Label("lblErrProxyMsg", "Please enter the Proxy details",
                                      {360, 3300, 3375, 495}, Alignment::kLeft));
  message.fore_color = forms::kRed;
  message.visible = false;
}

void frmProxySettings::OnLoad() {
  constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kStoredBoxes = {{
      {value_names::kProxyOctet1, "txtProxyIp1"},
      {value_names::kProxyOctet2, "txtProxyIp2"},
      {value_names::kProxyOctet3, "txtProxyIp3"},
      {value_names::kProxyOctet4, "txtProxyIp4"},
      {value_names::kProxyPort, "txtPort"},
  }};
  for (const auto& [value_name, box] : kStoredBoxes) {
    std::string stored = context_.settings.strGetSetting(value_name);
    if (!stored.empty()) SetText(box, stored);
  }
}

bool frmProxySettings::RefuseFirstEmptyBox() {
  for (std::string_view box : kOctetBoxes) {
    if (control(box).text.empty()) {
      Tell(ui(), "Please Enter the Proxy Server IP!!!");
      SetFocus(box);
      return true;
    }
  }
  if (control("txtPort").text.empty()) {
    Tell(ui(), "Please Enter the Port!!!");
    SetFocus("txtPort");
    return true;
  }
  return false;
}

bool frmProxySettings::AllBoxesFilled() {
  for (std::string_view box : kOctetBoxes) {
    if (control(box).text.empty()) return false;
  }
  return !control("txtPort").text.empty();
}

void frmProxySettings::OnAddClick() {
  forms::BusyCursor busy(ui());
  try {
    if (RefuseFirstEmptyBox()) return;
    const std::string& octet1 = control("txtProxyIp1").text;
    const std::string& octet2 = control("txtProxyIp2").text;
    const std::string& octet3 = control("txtProxyIp3").text;
    const std::string& octet4 = control("txtProxyIp4").text;
    const std::string& port = control("txtPort").text;
    const std::string address = octet1 + "." + octet2 + "." + octet3 + "." + octet4;
    SettingsStore& settings = context_.settings;
    settings.SaveProxySettings(address, port, octet1, octet2, octet3, octet4);
    // The store fails silently; a proxy that did not reach it must not be
    // reported as added.
    if (settings.strGetSetting(value_names::kProxyAddress) != address ||
        settings.strGetSetting(value_names::kProxyPort) != port) {
      throw std::runtime_error("the proxy settings could not be stored");
    }
    dialogs::EnableMenuCommand(context_, MenuCommand::kProxy);
    Tell(ui(), "Successfully Added Proxy settings!!!");
    Hide();
  } catch (const std::exception&) {
    Tell(ui(), kAddError);
  }
}

void frmProxySettings::OnRemoveClick() {
  forms::BusyCursor busy(ui());
  try {
    if (!AllBoxesFilled()) {
      Tell(ui(), "No Proxy Settings to Remove!!!");
      return;
    }
    SettingsStore& settings = context_.settings;
    settings.RemoveProxy();
    if (!settings.strGetSetting(value_names::kProxyAddress).empty() ||
        !settings.strGetSetting(value_names::kProxyPort).empty()) {
      throw std::runtime_error("the proxy settings could not be removed");
    }
    Tell(ui(), "Successfully Removed Proxy settings!!!");
    Hide();
  } catch (const std::exception&) {
    Tell(ui(), kAddError);
  }
}

}  // namespace pelorin
