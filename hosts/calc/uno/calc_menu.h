// The "Pelorin" menu as the add-in builds it in Calc. The menu's entries
// themselves come from the extension's configuration; these objects hold
// what core sets on them (enabled, visible, deleted) and the click handlers,
// found by dispatch address, so the protocol handler can report each
// command's state and run its click.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/host/command_bar.h"

namespace pelorin::calc {

struct CommandState {
  bool known = false;  // some live button has this address
  bool enabled = false;
  bool visible = false;
};

class CalcMenuButton : public CommandBarButton {
 public:
  explicit CalcMenuButton(std::function<void()> on_state_change)
      : on_state_change_(std::move(on_state_change)) {}

  void SetCaption(const std::string& caption) override;
  void SetTooltip(const std::string&) override {}
  void SetEnabled(bool enabled) override;
  void SetVisible(bool visible) override;
  void Delete() override;
  void SetClickHandler(std::function<void()> handler) override { on_click_ = std::move(handler); }

  const std::string& url() const { return url_; }
  bool live() const { return !deleted_; }
  bool enabled() const { return enabled_; }
  bool visible() const { return visible_; }
  // Runs the click handler when the button is live, enabled and visible.
  bool Click();

 private:
  std::function<void()> on_state_change_;
  std::function<void()> on_click_;
  std::string url_;
  bool enabled_ = true;
  bool visible_ = true;
  bool deleted_ = false;
};

class CalcMenuPopup : public CommandBarPopup {
 public:
  explicit CalcMenuPopup(std::function<void()> on_state_change)
      : on_state_change_(std::move(on_state_change)) {}

  void SetCaption(const std::string&) override {}
  void SetTooltip(const std::string&) override {}
  void SetEnabled(bool) override {}
  void SetVisible(bool) override {}
  void Delete() override { deleted_ = true; }
  CommandBarButton& AddButton() override;

  // The live button with this dispatch address, or null.
  CalcMenuButton* Find(const std::string& url) const;

 private:
  std::function<void()> on_state_change_;
  std::vector<std::unique_ptr<CalcMenuButton>> buttons_;
  bool deleted_ = false;
};

class CalcMenuBar : public CommandBar {
 public:
  // `on_state_change` runs whenever a command's state may have changed.
  explicit CalcMenuBar(std::function<void()> on_state_change)
      : on_state_change_(std::move(on_state_change)) {}

  CommandBarPopup& AddPopup() override;

  // The state of the newest live button with this address.
  CommandState State(const std::string& url) const;
  // Clicks that button; false when there is none or it is disabled or hidden.
  bool Click(const std::string& url);

 private:
  CalcMenuButton* Find(const std::string& url) const;

  std::function<void()> on_state_change_;
  std::vector<std::unique_ptr<CalcMenuPopup>> popups_;
};

}  // namespace pelorin::calc
