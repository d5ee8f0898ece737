// What a renderer last pushed to a form's native window. Handlers write the
// model's fields directly, with no notifications, so a renderer reconciles
// model and window at its sync points (after every forwarded event, when the
// form is shown or repainted, before pumping messages) and updates only what
// changed since the last one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/forms/control.h"

namespace pelorin::forms {

class Form;

// The parts of a control that a renderer pushes separately.
enum ControlAspect : std::uint32_t {
  kAspectText = 1u << 0,          // caption or a text box's content
  kAspectGeometry = 1u << 1,      // rect
  kAspectFont = 1u << 2,
  kAspectColors = 1u << 3,        // fore_color, back_color
  kAspectVisible = 1u << 4,
  kAspectEnabled = 1u << 5,
  kAspectItems = 1u << 6,         // a list's entries
  kAspectSelectedItem = 1u << 7,  // a list's selected_index
  kAspectChecked = 1u << 8,
  kAspectGrid = 1u << 9,          // a grid's cells, widths and heights
  kAspectCaret = 1u << 10,        // selection_start, selection_length
  kAspectStyle = 1u << 11,        // alignment, limits, password, scroll bar,
                                  // tooltip, picture, link, tab index
  kAspectAll = (1u << 12) - 1,
};

struct ControlUpdate {
  Control* control = nullptr;
  std::uint32_t aspects = 0;  // ControlAspect bits

  bool has(ControlAspect aspect) const { return (aspects & aspect) != 0; }
};

struct FormUpdate {
  // The form's controls are new (the first sync, or the form was unloaded
  // and loaded again): the renderer creates every native control afresh, and
  // `controls` lists each of them with kAspectAll.
  bool rebuilt = false;
  bool caption = false;  // caption or back colour
  bool focus = false;    // focused_control changed
  std::vector<ControlUpdate> controls;

  bool empty() const { return !rebuilt && !caption && !focus && controls.empty(); }
};

class FormSync {
 public:
  // What changed since the last call, recording the present state as pushed.
  FormUpdate TakeUpdate(Form& form);
  // The native window is gone: the next update rebuilds everything.
  void Forget();

 private:
  // A control's renderable fields, without its handlers.
  struct Pushed {
    const Control* identity = nullptr;
    Control state;
  };

  std::vector<Pushed> pushed_;
  std::string caption_;
  Rgb back_color_;
  std::string focused_control_;
  bool have_form_state_ = false;
};

// A host forwards a user's event only while this holds: every event method
// loads an unloaded form again (running its load handler), and a handler may
// hide or unload its own form, so hosts check again after forwarding.
bool AcceptsEvents(const Form& form);

// The controls in the order a keyboard user visits them: by tab index, the
// ones without one last, ties in the order the form added them. A renderer
// whose toolkit tabs in creation order creates them in this order.
std::vector<Control*> InTabOrder(const Form& form);

}  // namespace pelorin::forms
