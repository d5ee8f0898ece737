#include "core/dialogs/packet_size_form.h"

#include <exception>
#include <limits>
#include <stdexcept>

#include "core/dialogs/digit_key.h"
#include "core/dialogs/menu_enable.h"
#include "core/forms/busy_cursor.h"
#include "core/forms/control_builders.h"
#include "core/host/user_interface.h"
#include "core/settings/settings_store.h"
#include "core/settings/value_names.h"
#include "core/text/replace.h"

namespace pelorin {
namespace {

using forms::Alignment;
using forms::Control;
using forms::ControlKind;
using forms::Rect;
using forms::Button;
using forms::MakeControl;

constexpr std::string_view kSubmitError =
    "An Error Occured while Adding Packet Size Details. Please try again";

void Tell(UserInterface& ui, std::string_view text) {
  ui.MessageBox(text, message_box::kOkOnly, message_box::kDefaultTitle);
}

void StoredOrThrow(const SettingsStore& settings, std::string_view expected) {
  // The store fails silently; a value that did not reach it must not be
  // reported as added or cleared.
  if (settings.strGetSetting(value_names::kPacketSize) != expected) {
    throw std::runtime_error("the packet size could not be stored");
  }
}

}  // namespace

std::int32_t PacketSizeValue(std::string_view text) {
  std::string_view digits = TrimSpaces(text);
  const std::string quoted = "\"" + std::string(text) + "\"";
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) throw std::invalid_argument("Type mismatch: " + quoted + " is not a number");
  std::int64_t value = 0;
  const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
  for (char c : digits) {
    if (c < '0' || c > '9') {
      throw std::invalid_argument("Type mismatch: " + quoted + " is not a number");
    }
    value = value * 10 + (c - '0');
    if (value > limit) {
      throw std::out_of_range("Overflow: " + quoted + " is beyond the largest packet size 2147483647");
    }
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

frmPacketSize::frmPacketSize(AddinContext& context)
    : Form(context.ui, "frmPacketSize", "PacketSize Settings", 4680, 3090), context_(context) {}

void frmPacketSize::BuildControls() {
  Control& caption = AddControl(
      MakeControl("lblCaption", ControlKind::kLabel, "Packet Size Settings", {240, 240, 4185, 495}));
  caption.alignment = Alignment::kCenter;
  caption.font.size_pt = 9.75;
  caption.font.bold = true;

  Control& label =
      AddControl(MakeControl("lblPort", ControlKind::kLabel, "Packet Size", {360, 1320, 1215, 210}));
  label.alignment = Alignment::kRight;
  label.fore_color = forms::kNavy;

  Control& box =
      AddControl(MakeControl("txtPacketSize", ControlKind::kTextBox, "", {1920, 1200, 2055, 375}));
  box.tab_index = 1;
  box.back_color = forms::kWhite;
  box.on_key_press = [](forms::KeyCode& key) { dialogs::AllowOnlyDigitKey(key); };
  box.on_key_down = [](forms::KeyCode& key, int) { dialogs::AllowOnlyDigitKey(key); };
  box.on_key_up = [](forms::KeyCode& key, int) { dialogs::AllowOnlyDigitKey(key); };

  AddControl(Button("btnAddPackSize", "Submit", {840, 1920, 975, 375}, 3)).on_click = [this] {
    OnSubmitClick();
  };
  AddControl(Button("btnPackCancel", "Cancel", {2280, 1920, 1095, 375}, 4)).on_click = [this] {
    Hide();
  };
}

void frmPacketSize::OnLoad() {
  std::string stored = context_.settings.strGetSetting(value_names::kPacketSize);
  if (!stored.empty()) SetText("txtPacketSize", stored);
}

void frmPacketSize::OnSubmitClick() {
  forms::BusyCursor busy(ui());
  try {
    if (control("txtPacketSize").text.empty()) {
      SubmitEmpty();
      return;
    }
  } catch (const std::exception&) {
    Tell(ui(), kSubmitError);
    return;
  }
  try {
    SubmitValue();
  } catch (const std::exception& error) {
    Tell(ui(), error.what());
  }
}

void frmPacketSize::SubmitEmpty() {
  context_.settings.RemovePacketSize();
  StoredOrThrow(context_.settings, "");
  Tell(ui(), "If empty is specified, default Packet Size 1000 will be picked!!!");
  Hide();
}

void frmPacketSize::SubmitValue() {
  Control& box = control("txtPacketSize");
  if (PacketSizeValue(box.text) < kMinimumPacketSize) {
    Tell(ui(), "PacketSize should be greater than 500!!!");
    box.text.clear();
    box.selection_start = 0;
    return;
  }
  const std::string typed = box.text;
  context_.settings.SavePacketSize(typed);
  StoredOrThrow(context_.settings, typed);
  dialogs::EnableMenuCommand(context_, MenuCommand::kPacketSize);
  Tell(ui(), "Successfully Added Packet Size settings!!!");
  Hide();
}

}  // namespace pelorin
