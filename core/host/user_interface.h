// The user-interface services of a host: message boxes, the cursor, showing
// and hiding form models, and the message loop.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

namespace forms {
class Form;
struct Font;
}  // namespace forms

// Message box styles and answers, as the host's message-box codes.
namespace message_box {
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
inline constexpr std::string_view kDefaultTitle = "Pelorin";
}  // namespace message_box

struct TextExtent {
  double width = 0;  // twips
  double height = 0;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Modal; answers the button pressed (message_box::kAnswer*).
  virtual int MessageBox(std::string_view text, int style, std::string_view title) = 0;
  virtual void SetBusyCursor(bool busy) = 0;

  // A form model changed state; the host renders it accordingly.
  virtual void FormShown(forms::Form& form) = 0;  // non-modal
  virtual void FormHidden(forms::Form& form) = 0;
  virtual void FormUnloaded(forms::Form& form) = 0;
  virtual void Repaint(forms::Form& form) = 0;

  // Lets the host process its pending messages (paints, clicks).
  virtual void YieldToMessageLoop() = 0;

  // The size a label with this font takes to show the text.
  virtual TextExtent MeasureText(const forms::Font& font, std::string_view text) = 0;
};

}  // namespace pelorin
