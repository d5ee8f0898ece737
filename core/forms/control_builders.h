// Shorthands for the designed controls of a dialog: a control of a kind with
// its name, caption and place, and the common kinds with the look the
// add-in's dialogs share (navy labels, white text boxes).
#pragma once

#include <string>

#include "core/forms/control.h"

namespace pelorin::forms {

Control MakeControl(std::string name, ControlKind kind, std::string text, Rect rect);
// A navy caption.
Control Label(std::string name, std::string text, Rect rect,
              Alignment alignment = Alignment::kLeft);
// An empty white text box; `max_length` 0 means no limit.
Control TextBox(std::string name, Rect rect, int tab_index, int max_length = 0);
Control Button(std::string name, std::string text, Rect rect, int tab_index);

}  // namespace pelorin::forms
