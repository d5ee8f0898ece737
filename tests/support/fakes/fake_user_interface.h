// A user interface that records message boxes, cursor changes and form
// state changes, and answers message boxes from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/forms/form.h"
#include "core/host/user_interface.h"

namespace pelorin::testing {

struct ShownMessage {
  std::string text;
  int style = 0;
  std::string title;
};

class FakeUserInterface : public UserInterface {
 public:
  int MessageBox(std::string_view text, int style, std::string_view title) override {
    messages.push_back({std::string(text), style, std::string(title)});
    if (answers.empty()) return (style & message_box::kYesNo) ? message_box::kAnswerYes : message_box::kAnswerOk;
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void SetBusyCursor(bool busy) override {
    this->busy = busy;
    cursor_changes.push_back(busy);
  }
  void FormShown(forms::Form& form) override { events.push_back("shown " + form.name()); last_shown = &form; }
  void FormHidden(forms::Form& form) override { events.push_back("hidden " + form.name()); }
  void FormUnloaded(forms::Form& form) override { events.push_back("unloaded " + form.name()); }
  void Repaint(forms::Form& form) override { ++repaints; (void)form; }
  void YieldToMessageLoop() override {
    ++yields;
    if (on_yield) on_yield();
  }
  // Ten twips a character wide and 200 high per line: enough to tell longer
  // texts from shorter ones.
  TextExtent MeasureText(const forms::Font&, std::string_view text) override {
    return {10.0 * forms::Utf8Length(text), 200.0};
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }

  std::vector<ShownMessage> messages;
  std::deque<int> answers;
  bool busy = false;
  std::vector<bool> cursor_changes;
  std::vector<std::string> events;
  forms::Form* last_shown = nullptr;
  int repaints = 0;
  int yields = 0;
  std::function<void()> on_yield;
};

}  // namespace pelorin::testing
