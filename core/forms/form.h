// A toolkit-neutral dialog: its controls as data and its event handlers.
// Hosts render a Form and forward the user's events to it; tests drive the
// same events directly.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/forms/control.h"

namespace pelorin {
class UserInterface;
}

namespace pelorin::forms {

class Form {
 public:
  Form(UserInterface& ui, std::string name, std::string caption, int client_width,
       int client_height);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  const std::string& caption() const { return caption_; }
  int client_width() const { return client_width_; }
  int client_height() const { return client_height_; }
  Rgb back_color() const { return back_color_; }
  bool loaded() const { return loaded_; }
  bool visible() const { return visible_; }

  // Builds the controls with their designed values and runs the load handler;
  // does nothing when the form is loaded already.
  void Load();
  // Loads the form first when needed, then shows it non-modally.
  void Show();
  void Hide();
  // Drops the controls; the next Load builds them anew.
  void Unload();
  void Repaint();
  // The window's own close control (its title-bar button) was used. Dialogs
  // close by hiding themselves; a form that must close otherwise overrides.
  virtual void CloseWindow() { Hide(); }

  // The control by name; loads the form first, as touching a control does.
  // Throws std::out_of_range naming the control when there is none.
  Control& control(std::string_view name);
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  void SetFocus(std::string_view control_name);
  const std::string& focused_control() const { return focused_control_; }

  // Events as a host forwards them. A click or key on a control that is
  // disabled or hidden is ignored, as a real window ignores it.
  void Click(std::string_view control_name);
  void DoubleClick(std::string_view control_name);
  void KeyPress(std::string_view control_name, KeyCode& key_ascii);
  void KeyDown(std::string_view control_name, KeyCode& key_code, int shift = 0);
  void KeyUp(std::string_view control_name, KeyCode& key_code, int shift = 0);
  // Replaces a text box's text (as a paste does) and runs its change handler.
  void SetText(std::string_view control_name, std::string text);
  // Selects a list entry by index and runs the change handler.
  void SelectItem(std::string_view control_name, int index);
  // Types each character of UTF-8 `text` at the caret: key down, key press,
  // the character inserted unless refused or past the length limit, key up.
  void Type(std::string_view control_name, std::string_view text);

 protected:
  // Adds a control with its designed values; the reference stays valid until
  // the form is unloaded.
  Control& AddControl(Control control);
  UserInterface& ui() { return ui_; }
  void set_caption(std::string caption) { caption_ = std::move(caption); }
  void set_back_color(Rgb color) { back_color_ = color; }

  virtual void BuildControls() = 0;
  virtual void OnLoad() {}

 private:
  Control* Find(std::string_view name);
  Control* FindActive(std::string_view name);

  UserInterface& ui_;
  std::string name_;
  std::string caption_;
  int client_width_;
  int client_height_;
  Rgb back_color_ = kDialogGrey;
  bool loaded_ = false;
  bool visible_ = false;
  std::string focused_control_;
  std::vector<std::unique_ptr<Control>> controls_;
};

// Counts characters (code points) of UTF-8 text, for carets and limits.
int Utf8Length(std::string_view text);
// The byte offset of character `index` of UTF-8 text (the size at the end).
std::size_t Utf8Offset(std::string_view text, int index);

}  // namespace pelorin::forms
