#include "hosts/calc/uno/calc_menu.h"

#include "hosts/calc/uno/command_urls.h"

namespace pelorin::calc {

void CalcMenuButton::SetCaption(const std::string& caption) {
  url_ = CommandUrl(caption);
  on_state_change_();
}

void CalcMenuButton::SetEnabled(bool enabled) {
  enabled_ = enabled;
  on_state_change_();
}

void CalcMenuButton::SetVisible(bool visible) {
  visible_ = visible;
  on_state_change_();
}

void CalcMenuButton::Delete() {
  deleted_ = true;
  on_click_ = nullptr;
  on_state_change_();
}

bool CalcMenuButton::Click() {
  if (deleted_ || !enabled_ || !visible_ || !on_click_) return false;
  // The handler may delete this button (a disconnection); keep it alive.
  auto handler = on_click_;
  handler();
  return true;
}

CommandBarButton& CalcMenuPopup::AddButton() {
  buttons_.push_back(std::make_unique<CalcMenuButton>(on_state_change_));
  return *buttons_.back();
}

CalcMenuButton* CalcMenuPopup::Find(const std::string& url) const {
  if (deleted_) return nullptr;
  for (const auto& button : buttons_) {
    if (button->live() && button->url() == url) return button.get();
  }
  return nullptr;
}

CommandBarPopup& CalcMenuBar::AddPopup() {
  popups_.push_back(std::make_unique<CalcMenuPopup>(on_state_change_));
  return *popups_.back();
}

CalcMenuButton* CalcMenuBar::Find(const std::string& url) const {
  for (auto popup = popups_.rbegin(); popup != popups_.rend(); ++popup) {
    if (CalcMenuButton* button = (*popup)->Find(url)) return button;
  }
  return nullptr;
}

CommandState CalcMenuBar::State(const std::string& url) const {
  const CalcMenuButton* button = Find(url);
  if (button == nullptr) return {};
  return {true, button->enabled(), button->visible()};
}

bool CalcMenuBar::Click(const std::string& url) {
  CalcMenuButton* button = Find(url);
  return button != nullptr && button->Click();
}

}  // namespace pelorin::calc
