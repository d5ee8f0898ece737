// How the add-in's user-interface services hand form models to the window
// renderer: the services own message boxes, the cursor and the message loop,
// the presenter owns the forms' native windows.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "core/host/user_interface.h"

namespace pelorin::forms {
class Form;
struct Font;
}  // namespace pelorin::forms

namespace pelorin::excel {

class FormPresenter {
 public:
  virtual ~FormPresenter() = default;

  virtual void Shown(forms::Form& form) = 0;
  virtual void Hidden(forms::Form& form) = 0;
  virtual void Unloaded(forms::Form& form) = 0;
  virtual void Repaint(forms::Form& form) = 0;
  // Brings every shown form's window up to date with its model, then
  // handles the thread's pending window messages.
  virtual void PumpMessages() = 0;
  // While a message box is up, the forms' windows take no input.
  virtual void EnableForms(bool enabled) = 0;
  virtual TextExtent MeasureText(const forms::Font& font, std::string_view text) = 0;
};

// The window renderer of the add-in's forms; their windows are owned by
// `owner`, Excel's main window.
std::unique_ptr<FormPresenter> MakeFormPresenter(HWND owner);

}  // namespace pelorin::excel
