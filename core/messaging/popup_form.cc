#include "core/messaging/popup_form.h"

#include "core/forms/control_builders.h"

namespace pelorin {
namespace {

constexpr int kClientWidth = 6360;
constexpr int kClientHeight = 4200;

forms::Control StatusBox() {
  forms::Control box = forms::TextBox("txtStatus", {120, 120, 6120, 3360}, 1);
  box.multiline = true;
  box.vertical_scroll_bar = true;
  return box;
}

forms::Control CloseButton() {
  forms::Control button = forms::Button("btnClose", "Close", {5040, 3660, 1200, 375}, 0);
  button.font.bold = true;
  return button;
}

}  // namespace

frmPopup::frmPopup(UserInterface& ui, forms::Form* owner)
    : Form(ui, "frmPopup", "Status Window", kClientWidth, kClientHeight), owner_(owner) {}

void frmPopup::BuildControls() {
  AddControl(StatusBox());
  forms::Control& close = AddControl(CloseButton());
  close.on_click = [this] { CloseWindow(); };
}

void frmPopup::Open() {
  if (owner_ != nullptr) owner_->Hide();
  Show();
  control("btnClose").enabled = false;
  control("txtStatus").text.clear();
}

void frmPopup::ShowStatus(const std::string& status) {
  if (!loaded()) return;
  control("txtStatus").text = status;
  Repaint();
  if (owner_ != nullptr) owner_->Repaint();
}

void frmPopup::EnableClose() {
  if (loaded()) control("btnClose").enabled = true;
}

bool frmPopup::close_enabled() { return loaded() && control("btnClose").enabled; }

void frmPopup::CloseWindow() {
  Unload();
  if (owner_ != nullptr) owner_->Unload();
}

}  // namespace pelorin
