// The command line's stand-in for a worksheet menu bar: the popups and
// buttons the add-in creates, kept in memory so a subcommand can find a
// command by caption and click it, and `pelorin menu` can list them.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/host/command_bar.h"

namespace pelorin::cli {

struct MenuItemState {
  std::string caption;
  std::string tooltip;
  bool enabled = true;
  bool visible = true;
  bool deleted = false;
};

class MenuButton : public CommandBarButton {
 public:
  void SetCaption(const std::string& caption) override { state_.caption = caption; }
  void SetTooltip(const std::string& tooltip) override { state_.tooltip = tooltip; }
  void SetEnabled(bool enabled) override { state_.enabled = enabled; }
  void SetVisible(bool visible) override { state_.visible = visible; }
  void Delete() override { state_.deleted = true; }
  void SetClickHandler(std::function<void()> handler) override { on_click_ = std::move(handler); }

  const MenuItemState& state() const { return state_; }
  // Runs the click handler as the host's click would; false when the
  // button is disabled, hidden or gone, as a real menu ignores those.
  bool Click();

 private:
  MenuItemState state_;
  std::function<void()> on_click_;
};

class MenuPopup : public CommandBarPopup {
 public:
  void SetCaption(const std::string& caption) override { state_.caption = caption; }
  void SetTooltip(const std::string& tooltip) override { state_.tooltip = tooltip; }
  void SetEnabled(bool enabled) override { state_.enabled = enabled; }
  void SetVisible(bool visible) override { state_.visible = visible; }
  void Delete() override { state_.deleted = true; }
  CommandBarButton& AddButton() override;

  const MenuItemState& state() const { return state_; }
  // The live button with this caption, or null.
  MenuButton* Find(const std::string& caption) const;
  std::vector<const MenuButton*> LiveButtons() const;

 private:
  MenuItemState state_;
  std::vector<std::unique_ptr<MenuButton>> buttons_;
};

class MenuBar : public CommandBar {
 public:
  CommandBarPopup& AddPopup() override;
  // The last live popup with this caption, or null.
  MenuPopup* Find(const std::string& caption) const;
  // One line per command: caption, then "enabled"/"disabled" and
  // "visible"/"hidden".
  void Print(std::ostream& out) const;

 private:
  std::vector<std::unique_ptr<MenuPopup>> popups_;
};

}  // namespace pelorin::cli
