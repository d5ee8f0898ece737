#include "hosts/cli/menu_bar.h"

namespace pelorin::cli {

bool MenuButton::Click() {
  if (state_.deleted || !state_.enabled || !state_.visible || !on_click_) return false;
  on_click_();
  return true;
}

CommandBarButton& MenuPopup::AddButton() {
  buttons_.push_back(std::make_unique<MenuButton>());
  return *buttons_.back();
}

MenuButton* MenuPopup::Find(const std::string& caption) const {
  for (const auto& button : buttons_) {
    if (!button->state().deleted && button->state().caption == caption) return button.get();
  }
  return nullptr;
}

std::vector<const MenuButton*> MenuPopup::LiveButtons() const {
  std::vector<const MenuButton*> live;
  for (const auto& button : buttons_) {
    if (!button->state().deleted) live.push_back(button.get());
  }
  return live;
}

CommandBarPopup& MenuBar::AddPopup() {
  popups_.push_back(std::make_unique<MenuPopup>());
  return *popups_.back();
}

MenuPopup* MenuBar::Find(const std::string& caption) const {
  for (auto it = popups_.rbegin(); it != popups_.rend(); ++it) {
    if (!(*it)->state().deleted && (*it)->state().caption == caption) return it->get();
  }
  return nullptr;
}

void MenuBar::Print(std::ostream& out) const {
  for (const auto& popup : popups_) {
    if (popup->state().deleted) continue;
    out << popup->state().caption << '\n';
    for (const MenuButton* button : popup->LiveButtons()) {
      const MenuItemState& s = button->state();
      out << "  " << s.caption << '\t' << (s.enabled ? "enabled" : "disabled") << '\t'
          << (s.visible ? "visible" : "hidden") << '\n';
    }
  }
}

}  // namespace pelorin::cli
