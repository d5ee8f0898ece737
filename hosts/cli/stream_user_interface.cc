#include "hosts/cli/stream_user_interface.h"

#include "hosts/cli/visible_controls.h"

#include <algorithm>

#include "core/forms/control.h"
#include "core/forms/form.h"
#include "core/text/replace.h"

namespace pelorin::cli {

std::string ToTerminalLines(std::string text) {
  return ReplaceAll(ReplaceAll(std::move(text), "\r\n", "\n"), "\r", "\n");
}

int StreamUserInterface::MessageBox(std::string_view text, int style, std::string_view) {
  messages_.emplace_back(text);
  std::ostream& out = (is_result_ && is_result_(text)) ? *result_out_ : err_;
  // A box may show the service's words (a welcome, an update address): on a
  // terminal their control characters are shown, not obeyed.
  const std::string lines = ToTerminalLines(std::string(text));
  out << (IsTerminal(out) ? MakeControlsVisible(lines) : lines) << '\n';
  out.flush();
  const bool has_yes_no = (style & 0x7) == message_box::kYesNo;
  return has_yes_no ? message_box::kAnswerNo : message_box::kAnswerOk;
}

void StreamUserInterface::FormShown(forms::Form& form) {
  FormHidden(form);
  shown_.push_back(&form);
}

void StreamUserInterface::FormHidden(forms::Form& form) { std::erase(shown_, &form); }

void StreamUserInterface::FormUnloaded(forms::Form& form) { FormHidden(form); }

void StreamUserInterface::Repaint(forms::Form& form) {
  if (repaint_listener_) repaint_listener_(form);
}

forms::Form* StreamUserInterface::ShownForm(std::string_view name) const {
  for (auto it = shown_.rbegin(); it != shown_.rend(); ++it) {
    if ((*it)->name() == name) return *it;
  }
  return nullptr;
}

TextExtent StreamUserInterface::MeasureText(const forms::Font& font, std::string_view text) {
  constexpr double kTwipsPerPoint = 20;
  constexpr double kAverageCharWidthEm = 0.62;
  const double em = font.size_pt * kTwipsPerPoint;
  return {forms::Utf8Length(text) * em * kAverageCharWidthEm, em * 1.25};
}

}  // namespace pelorin::cli
