// One form model drawn as a non-modal UNO toolkit dialog. The window pushes
// what the model's handlers changed at each sync point and forwards the
// user's clicks, texts, selections and title-bar close to the form.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <com/sun/star/awt/KeyEvent.hpp>
#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/XControl.hpp>
#include <com/sun/star/awt/XControlContainer.hpp>
#include <com/sun/star/awt/XToolkit.hpp>
#include <com/sun/star/awt/XWindowPeer.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include "core/forms/form.h"
#include "core/forms/form_sync.h"

namespace pelorin::calc {

class FormWindow;

// What a window needs from the user interface it belongs to.
class FormWindowHost {
 public:
  virtual ~FormWindowHost() = default;
  // Brings every shown form's window up to date with its model.
  virtual void SyncAll() = 0;
  // The peer new dialogs are children of (the document's window), or null.
  virtual css::uno::Reference<css::awt::XWindowPeer> ParentPeer() = 0;
  // Runs `dispose` once the current toolkit call has returned.
  virtual void Later(std::function<void()> dispose) = 0;
};

// Listeners reach their window through this cell, which the window clears
// when it closes: toolkit calls that arrive late find nobody.
struct WindowLink {
  FormWindow* window = nullptr;
};

class FormWindow {
 public:
  FormWindow(forms::Form& form, FormWindowHost& host,
             css::uno::Reference<css::uno::XComponentContext> context);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  forms::Form& form() { return form_; }
  bool closed() const { return closed_; }

  void Show();
  void Hide();
  // The form was unloaded: the dialog goes, after the current call.
  void Close();
  // Pushes what changed since the last sync.
  void Sync();

  // Events from the listeners, by control name.
  void OnAction(const std::string& name);
  void OnItemState(const std::string& name, sal_Int32 selected);
  void OnTextChanged();
  void OnMouseClick(const std::string& name, sal_Int32 click_count);
  void OnFocus(const std::string& name, bool gained);
  void OnCloseRequest();
  // A key for one of this form's text boxes goes to the form.
  enum class KeyOutcome { kNotOurs, kAccepted, kRefused };
  KeyOutcome OnKey(const css::awt::KeyEvent& event, bool pressed);

  css::uno::Reference<css::awt::XWindowPeer> peer() const;
  bool visible() const { return shown_; }

 private:
  struct NativeControl {
    forms::Control* model = nullptr;
    css::uno::Reference<css::beans::XPropertySet> props;
    css::uno::Reference<css::awt::XControl> control;
    // A grid's accessible context, held while the grid lives: the office's
    // grid keeps a bare pointer to it, and an assistive tool letting go of
    // the last reference would leave that pointer dangling.
    css::uno::Reference<css::uno::XInterface> accessible;
  };

  void Build();
  void Dispose();
  void CreateControl(forms::Control& control);
  void Apply(NativeControl& native, std::uint32_t aspects);
  void ApplyGeometry(NativeControl& native);
  void ApplyGrid(NativeControl& native);
  void ApplyFocus();
  void HarvestViewState();
  // Forwards one event: harvests what the user typed, runs `event`, syncs.
  template <typename Event>
  void Forward(Event event);
  std::string TextBoxWithKey(const css::awt::KeyEvent& event) const;

  css::awt::Point ToAppFont(int left_twips, int top_twips) const;

  forms::Form& form_;
  FormWindowHost& host_;
  css::uno::Reference<css::uno::XComponentContext> context_;
  std::shared_ptr<WindowLink> link_;
  forms::FormSync sync_;

  css::uno::Reference<css::awt::XControl> dialog_;
  css::uno::Reference<css::container::XNameContainer> dialog_models_;
  css::uno::Reference<css::lang::XMultiServiceFactory> model_factory_;
  css::uno::Reference<css::awt::XControlContainer> container_;
  std::unordered_map<std::string, NativeControl> natives_;
  std::vector<css::uno::Reference<css::uno::XInterface>> listeners_;
  std::string focused_text_box_;
  bool shown_ = false;
  bool closed_ = false;
  int pushing_ = 0;  // events caused by our own pushes are not the user's
};

}  // namespace pelorin::calc
