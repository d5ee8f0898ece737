// The host's command bars: a menu bar that takes a popup of buttons, whose
// clicks reach core through a handler.
#pragma once

#include <functional>
#include <string>

namespace pelorin {

class CommandBarControl {
 public:
  virtual ~CommandBarControl() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetTooltip(const std::string& tooltip) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetVisible(bool visible) = 0;
  // Removes the control from its bar; the object must not be used afterwards.
  virtual void Delete() = 0;
};

class CommandBarButton : public CommandBarControl {
 public:
  // Called once per click on the host's user-interface thread.
  virtual void SetClickHandler(std::function<void()> handler) = 0;
};

class CommandBarPopup : public CommandBarControl {
 public:
  // A temporary button at the end of the popup, owned by the popup.
  virtual CommandBarButton& AddButton() = 0;
};

class CommandBar {
 public:
  virtual ~CommandBar() = default;
  // A temporary popup at the end of the bar, owned by the bar.
  virtual CommandBarPopup& AddPopup() = 0;
};

}  // namespace pelorin
