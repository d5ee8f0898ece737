#include "core/forms/form.h"

#include <stdexcept>

#include "core/host/user_interface.h"

namespace pelorin::forms {

Form::Form(UserInterface& ui, std::string name, std::string caption, int client_width,
           int client_height)
    : ui_(ui),
      name_(std::move(name)),
      caption_(std::move(caption)),
      client_width_(client_width),
      client_height_(client_height) {}

Form::~Form() = default;

void Form::Load() {
  if (loaded_) return;
  loaded_ = true;
  BuildControls();
  OnLoad();
}

void Form::Show() {
  Load();
  visible_ = true;
  ui_.FormShown(*this);
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  ui_.FormHidden(*this);
}

void Form::Unload() {
  if (!loaded_) return;
  visible_ = false;
  loaded_ = false;
  ui_.FormUnloaded(*this);
  controls_.clear();
  focused_control_.clear();
}

void Form::Repaint() { ui_.Repaint(*this); }

Control& Form::AddControl(Control control) {
  controls_.push_back(std::make_unique<Control>(std::move(control)));
  return *controls_.back();
}

Control* Form::Find(std::string_view name) {
  for (auto& control : controls_) {
    if (control->name == name) return control.get();
  }
  return nullptr;
}

Control& Form::control(std::string_view name) {
  Load();
  if (Control* found = Find(name)) return *found;
  throw std::out_of_range(name_ + ": no control named " + std::string(name));
}

Control* Form::FindActive(std::string_view name) {
  Control& target = control(name);
  return target.enabled && target.visible ? &target : nullptr;
}

void Form::SetFocus(std::string_view control_name) {
  focused_control_ = control(control_name).name;
}

void Form::Click(std::string_view control_name) {
  Control* target = FindActive(control_name);
  if (target == nullptr) return;
  if (target->kind == ControlKind::kCheckBox) target->checked = !target->checked;
  if (target->kind == ControlKind::kOptionButton) {
    for (auto& other : controls_) {
      if (other->kind == ControlKind::kOptionButton) other->checked = false;
    }
    target->checked = true;
  }
  if (target->on_click) target->on_click();
}

void Form::DoubleClick(std::string_view control_name) {
  Control* target = FindActive(control_name);
  if (target != nullptr && target->on_double_click) target->on_double_click();
}

void Form::KeyPress(std::string_view control_name, KeyCode& key_ascii) {
  Control* target = FindActive(control_name);
  if (target == nullptr) {
    key_ascii = 0;
    return;
  }
  if (target->on_key_press) target->on_key_press(key_ascii);
}

void Form::KeyDown(std::string_view control_name, KeyCode& key_code, int shift) {
  Control* target = FindActive(control_name);
  if (target != nullptr && target->on_key_down) target->on_key_down(key_code, shift);
}

void Form::KeyUp(std::string_view control_name, KeyCode& key_code, int shift) {
  Control* target = FindActive(control_name);
  if (target != nullptr && target->on_key_up) target->on_key_up(key_code, shift);
}

void Form::SetText(std::string_view control_name, std::string text) {
  Control& target = control(control_name);
  target.text = std::move(text);
  target.selection_start = Utf8Length(target.text);
  target.selection_length = 0;
  if (target.on_change) target.on_change();
}

void Form::SelectItem(std::string_view control_name, int index) {
  Control& target = control(control_name);
  target.selected_index = index;
  if (target.on_change) target.on_change();
}

namespace {

// The code point at `offset` and the length of its UTF-8 sequence.
std::pair<char32_t, std::size_t> DecodeAt(std::string_view text, std::size_t offset) {
  unsigned char lead = static_cast<unsigned char>(text[offset]);
  std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (offset + length > text.size()) length = text.size() - offset;
  char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
  for (std::size_t i = 1; i < length; ++i) {
    code = (code << 6) | (static_cast<unsigned char>(text[offset + i]) & 0x3F);
  }
  return {code, length};
}

constexpr KeyCode kBackspace = 8;

}  // namespace

void Form::Type(std::string_view control_name, std::string_view text) {
  std::size_t offset = 0;
  while (offset < text.size()) {
    auto [code, length] = DecodeAt(text, offset);
    std::string_view character = text.substr(offset, length);
    offset += length;

    Control* target = FindActive(control_name);
    if (target == nullptr) return;
    KeyCode key = static_cast<KeyCode>(code <= 0x7FFF ? code : 0x7FFF);
    KeyCode key_down = key;
    KeyDown(control_name, key_down);
    KeyPress(control_name, key);
    if (key != 0) {
      std::string& content = target->text;
      int caret = std::min(target->selection_start, Utf8Length(content));
      if (key == kBackspace) {
        if (caret > 0) {
          std::size_t from = Utf8Offset(content, caret - 1);
          content.erase(from, Utf8Offset(content, caret) - from);
          target->selection_start = caret - 1;
          if (target->on_change) target->on_change();
        }
      } else if (target->max_length == 0 || Utf8Length(content) < target->max_length) {
        content.insert(Utf8Offset(content, caret), character);
        target->selection_start = caret + 1;
        target->selection_length = 0;
        if (target->on_change) target->on_change();
      }
    }
    KeyCode key_up = key_down;
    KeyUp(control_name, key_up);
  }
}

int Utf8Length(std::string_view text) {
  int count = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::size_t Utf8Offset(std::string_view text, int index) {
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (count == index) return i;
      ++count;
    }
  }
  return text.size();
}

}  // namespace pelorin::forms
