// The status window of a send run: the growing status text, and the Close
// button that closes it together with the send dialog that ran the send.
#pragma once

#include <string>

#include "core/forms/form.h"

namespace pelorin {

class frmPopup : public forms::Form {
 public:
  // `owner` is the send dialog whose runs this window shows; it is hidden
  // while a run goes on and unloaded when this window closes. May be null.
  explicit frmPopup(UserInterface& ui, forms::Form* owner = nullptr);

  // The start of a run: the owner hidden, this window shown non-modally with
  // Close disabled and no text.
  void Open();
  // Puts the whole status text into txtStatus and repaints the window and
  // the owner. Does nothing once the window has been closed.
  void ShowStatus(const std::string& status);
  void EnableClose();
  bool close_enabled();

  // Unloads this window, then the owner: btnClose, and the window's own
  // close control, which works even while btnClose is disabled so that the
  // window can always be dismissed.
  void CloseWindow() override;

 protected:
  void BuildControls() override;

 private:
  forms::Form* owner_;
};

}  // namespace pelorin
