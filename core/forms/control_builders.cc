#include "core/forms/control_builders.h"

#include <utility>

namespace pelorin::forms {

Control MakeControl(std::string name, ControlKind kind, std::string text, Rect rect) {
  Control control;
  control.name = std::move(name);
  control.kind = kind;
  control.text = std::move(text);
  control.rect = rect;
  return control;
}

Control Label(std::string name, std::string text, Rect rect, Alignment alignment) {
  Control label = MakeControl(std::move(name), ControlKind::kLabel, std::move(text), rect);
  label.alignment = alignment;
  label.fore_color = kNavy;
  return label;
}

Control TextBox(std::string name, Rect rect, int tab_index, int max_length) {
  Control box = MakeControl(std::move(name), ControlKind::kTextBox, "", rect);
  box.tab_index = tab_index;
  box.max_length = max_length;
  box.back_color = kWhite;
  return box;
}

Control Button(std::string name, std::string text, Rect rect, int tab_index) {
  Control button = MakeControl(std::move(name), ControlKind::kButton, std::move(text), rect);
  button.tab_index = tab_index;
  return button;
}

}  // namespace pelorin::forms
