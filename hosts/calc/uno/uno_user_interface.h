// Core's user-interface services inside LibreOffice: form models drawn as
// non-modal toolkit dialogs, message boxes from the toolkit, the wait
// pointer, and the office's event loop.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <com/sun/star/awt/XExtendedToolkit.hpp>
#include <com/sun/star/awt/XKeyHandler.hpp>
#include <com/sun/star/awt/XWindowPeer.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include "core/host/user_interface.h"
#include "hosts/calc/uno/form_window.h"

namespace pelorin::calc {

class UnoUserInterface : public UserInterface, public FormWindowHost {
 public:
  explicit UnoUserInterface(css::uno::Reference<css::uno::XComponentContext> context);
  ~UnoUserInterface() override;

  int MessageBox(std::string_view text, int style, std::string_view title) override;
  void SetBusyCursor(bool busy) override;
  void FormShown(forms::Form& form) override;
  void FormHidden(forms::Form& form) override;
  void FormUnloaded(forms::Form& form) override;
  void Repaint(forms::Form& form) override;
  void YieldToMessageLoop() override;
  TextExtent MeasureText(const forms::Font& font, std::string_view text) override;

  void SyncAll() override;
  css::uno::Reference<css::awt::XWindowPeer> ParentPeer() override;
  void Later(std::function<void()> work) override;

  // Closes every window (the office is going).
  void CloseAll();
  // Routed from the toolkit's key handler.
  bool OnKey(const css::awt::KeyEvent& event, bool pressed);

 private:
  FormWindow* WindowOf(forms::Form& form);
  void DropClosedWindows();
  void UpdateKeyHandler();
  css::uno::Reference<css::awt::XWindowPeer> MessageBoxParent();

  css::uno::Reference<css::uno::XComponentContext> context_;
  std::vector<std::unique_ptr<FormWindow>> windows_;
  // Windows closed while one of their listeners may still be running.
  std::vector<std::unique_ptr<FormWindow>> closed_windows_;
  // The toolkit the key handler is registered with: it must stay alive, or
  // the handler goes with it.
  css::uno::Reference<css::awt::XExtendedToolkit> key_toolkit_;
  css::uno::Reference<css::awt::XKeyHandler> key_handler_;
  css::uno::Reference<css::awt::XWindowPeer> fallback_parent_;
  int busy_depth_ = 0;
};

// Message box answers of the toolkit (0 cancel, 1 OK, 2 yes, 3 no) as core's
// codes. A headless office answers 0 at once: a question then counts as No,
// never as Yes.
int MessageBoxAnswer(sal_Int16 toolkit_answer, int style);

}  // namespace pelorin::calc
