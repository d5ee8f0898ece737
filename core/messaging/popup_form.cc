#include "core/messaging/popup_form.h"

namespace pelorin {
namespace {

constexpr int kClientWidth = 6360;
constexpr int kClientHeight = 4200;

forms::Control StatusBox() {
  forms::Control box;
  box.name = "txtStatus";
  box.kind = forms::ControlKind::kTextBox;
  box.rect = {120, 120, 6120, 3360};
  box.back_color = forms::kWhite;
  box.multiline = true;
  box.vertical_scroll_bar = true;
  box.tab_index = 1;
  return box;
}

forms::Control CloseButton() {
  forms::Control button;
  button.name = "btnClose";
  button.kind = forms::ControlKind::kButton;
  button.text = "Close";
  button.rect = {5040, 3660, 1200, 375};
  button.font.bold = true;
  button.tab_index = 0;
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
