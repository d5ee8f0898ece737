// The command line's user-interface services: every message box becomes a
// group of lines on stderr, and forms are not drawn (the commands drive their
// models directly).
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/host/user_interface.h"

namespace pelorin::cli {

// The text with its line breaks (CR LF, or a lone CR, as the add-in writes
// them) as a terminal wants them: LF.
std::string ToTerminalLines(std::string text);

class StreamUserInterface : public UserInterface {
 public:
  explicit StreamUserInterface(std::ostream& err) : err_(err) {}

  // Writes the text as the box shows it. A question is answered No: the
  // command line never keeps or drops state on a guess.
  int MessageBox(std::string_view text, int style, std::string_view title) override;
  void SetBusyCursor(bool) override {}
  void FormShown(forms::Form& form) override;
  void FormHidden(forms::Form& form) override;
  void FormUnloaded(forms::Form& form) override;
  void Repaint(forms::Form& form) override;
  void YieldToMessageLoop() override {}
  // Verdana-like average widths; only the preview's column widths use it.
  TextExtent MeasureText(const forms::Font& font, std::string_view text) override;

  const std::vector<std::string>& messages() const { return messages_; }
  // The form of this name that is on screen (shown, not hidden or unloaded),
  // or null: how a command finds the dialog a menu command opened.
  forms::Form* ShownForm(std::string_view name) const;
  // Boxes whose text `is_result` accepts are the command's result and go to
  // `out` instead of stderr (the credit line, for one).
  void set_result_boxes(std::function<bool(std::string_view)> is_result, std::ostream& out) {
    is_result_ = std::move(is_result);
    result_out_ = &out;
  }
  // Called whenever a form asks to be redrawn, for progress display.
  void set_repaint_listener(std::function<void(forms::Form&)> listener) {
    repaint_listener_ = std::move(listener);
  }

 private:
  std::ostream& err_;
  std::vector<std::string> messages_;
  std::vector<forms::Form*> shown_;
  std::function<void(forms::Form&)> repaint_listener_;
  std::function<bool(std::string_view)> is_result_;
  std::ostream* result_out_ = nullptr;
};

}  // namespace pelorin::cli
