#include "hosts/calc/uno/uno_user_interface.h"

#include <algorithm>
#include <cmath>

#include <com/sun/star/awt/FontDescriptor.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/MessageBoxButtons.hpp>
#include <com/sun/star/awt/MessageBoxResults.hpp>
#include <com/sun/star/awt/MessageBoxType.hpp>
#include <com/sun/star/awt/AsyncCallback.hpp>
#include <com/sun/star/awt/SystemPointer.hpp>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/WindowDescriptor.hpp>
#include <com/sun/star/awt/WindowAttribute.hpp>
#include <com/sun/star/awt/XCallback.hpp>
#include <com/sun/star/awt/XDevice.hpp>
#include <com/sun/star/awt/XExtendedToolkit.hpp>
#include <com/sun/star/awt/XFont.hpp>
#include <com/sun/star/awt/XMessageBox.hpp>
#include <com/sun/star/awt/XMessageBoxFactory.hpp>
#include <com/sun/star/awt/XPointer.hpp>
#include <com/sun/star/awt/XRequestCallback.hpp>
#include <com/sun/star/awt/XReschedule.hpp>
#include <com/sun/star/awt/XUnitConversion.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/util/MeasureUnit.hpp>
#include <cppuhelper/implbase1.hxx>

#include "core/forms/control.h"
#include "hosts/calc/uno/run_later.h"
#include "hosts/calc/uno/uno_text.h"

namespace pelorin::calc {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

class KeyHandler : public cppu::WeakImplHelper1<css::awt::XKeyHandler> {
 public:
  explicit KeyHandler(UnoUserInterface* ui) : ui_(ui) {}
  void Detach() { ui_ = nullptr; }

  sal_Bool SAL_CALL keyPressed(const css::awt::KeyEvent& event) override { return Route(event, true); }
  sal_Bool SAL_CALL keyReleased(const css::awt::KeyEvent& event) override { return Route(event, false); }
  void SAL_CALL disposing(const css::lang::EventObject&) override {}

 private:
  bool Route(const css::awt::KeyEvent& event, bool pressed) {
    try {
      return ui_ != nullptr && ui_->OnKey(event, pressed);
    } catch (...) {
      return false;
    }
  }

  UnoUserInterface* ui_;
};

css::awt::MessageBoxType BoxType(int style) {
  switch (style & 0x70) {
    case message_box::kCritical: return css::awt::MessageBoxType_ERRORBOX;
    case message_box::kQuestion: return css::awt::MessageBoxType_QUERYBOX;
    case message_box::kExclamation: return css::awt::MessageBoxType_WARNINGBOX;
    case message_box::kInformation: return css::awt::MessageBoxType_INFOBOX;
    default: return css::awt::MessageBoxType_MESSAGEBOX;
  }
}

css::awt::FontDescriptor Descriptor(const forms::Font& font) {
  css::awt::FontDescriptor descriptor;
  descriptor.Name = ToUno(font.name);
  descriptor.Height = static_cast<sal_Int16>(std::lround(std::floor(font.size_pt)));
  descriptor.Weight = font.bold ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL;
  descriptor.Slant = font.italic ? css::awt::FontSlant_ITALIC : css::awt::FontSlant_NONE;
  return descriptor;
}

}  // namespace

int MessageBoxAnswer(sal_Int16 toolkit_answer, int style) {
  const bool yes_no = (style & 0x0F) == message_box::kYesNo;
  switch (toolkit_answer) {
    case css::awt::MessageBoxResults::YES: return message_box::kAnswerYes;
    case css::awt::MessageBoxResults::NO: return message_box::kAnswerNo;
    case css::awt::MessageBoxResults::OK: return message_box::kAnswerOk;
    default: return yes_no ? message_box::kAnswerNo : message_box::kAnswerOk;
  }
}

UnoUserInterface::UnoUserInterface(Reference<css::uno::XComponentContext> context)
    : context_(std::move(context)) {}

UnoUserInterface::~UnoUserInterface() {
  CloseAll();
  closed_windows_.clear();
}

void UnoUserInterface::CloseAll() {
  for (auto& window : windows_) window->Close();
  DropClosedWindows();
  UpdateKeyHandler();
  if (fallback_parent_.is()) {
    Reference<css::lang::XComponent>(fallback_parent_, UNO_QUERY_THROW)->dispose();
    fallback_parent_.clear();
  }
}

FormWindow* UnoUserInterface::WindowOf(forms::Form& form) {
  for (auto& window : windows_) {
    if (&window->form() == &form && !window->closed()) return window.get();
  }
  return nullptr;
}

void UnoUserInterface::DropClosedWindows() {
  for (auto& window : windows_) {
    if (window->closed()) closed_windows_.push_back(std::move(window));
  }
  std::erase(windows_, nullptr);
}

void UnoUserInterface::UpdateKeyHandler() {
  if (!windows_.empty() && !key_handler_.is()) {
    key_toolkit_.set(css::awt::Toolkit::create(context_), UNO_QUERY_THROW);
    key_handler_ = new KeyHandler(this);
    key_toolkit_->addKeyHandler(key_handler_);
  } else if (windows_.empty() && key_handler_.is()) {
    static_cast<KeyHandler*>(key_handler_.get())->Detach();
    key_toolkit_->removeKeyHandler(key_handler_);
    key_handler_.clear();
    key_toolkit_.clear();
  }
}

void UnoUserInterface::FormShown(forms::Form& form) {
  FormWindow* window = WindowOf(form);
  if (window == nullptr) {
    windows_.push_back(std::make_unique<FormWindow>(form, *this, context_));
    window = windows_.back().get();
    UpdateKeyHandler();
  }
  window->Show();
}

void UnoUserInterface::FormHidden(forms::Form& form) {
  if (FormWindow* window = WindowOf(form)) window->Hide();
}

void UnoUserInterface::FormUnloaded(forms::Form& form) {
  if (FormWindow* window = WindowOf(form)) window->Close();
  DropClosedWindows();
  UpdateKeyHandler();
  // The closed windows go once the listener calls that may be on the stack
  // have returned.
  if (!closed_windows_.empty()) {
    Later([this] {
      std::vector<std::unique_ptr<FormWindow>> gone;
      gone.swap(closed_windows_);
    });
  }
}

void UnoUserInterface::Repaint(forms::Form& form) {
  if (FormWindow* window = WindowOf(form)) window->Sync();
}

void UnoUserInterface::SyncAll() {
  // A sync never adds or removes windows, but an index loop stays safe.
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    if (windows_[i] && !windows_[i]->closed()) windows_[i]->Sync();
  }
}

void UnoUserInterface::YieldToMessageLoop() {
  SyncAll();
  Reference<css::awt::XReschedule> reschedule(css::awt::Toolkit::create(context_), UNO_QUERY);
  if (reschedule.is()) reschedule->reschedule();
}

void UnoUserInterface::Later(std::function<void()> work) {
  RunLater(context_, std::move(work));
}

Reference<css::awt::XWindowPeer> UnoUserInterface::ParentPeer() {
  try {
    Reference<css::frame::XDesktop2> desktop = css::frame::Desktop::create(context_);
    Reference<css::frame::XFrame> frame = desktop->getCurrentFrame();
    if (!frame.is()) {
      Reference<css::frame::XFramesSupplier> frames(desktop, UNO_QUERY);
      if (frames.is()) frame = frames->getActiveFrame();
    }
    if (frame.is()) {
      Reference<css::awt::XWindowPeer> peer(frame->getContainerWindow(), UNO_QUERY);
      if (peer.is()) return peer;
    }
  } catch (...) {
  }
  return {};
}

Reference<css::awt::XWindowPeer> UnoUserInterface::MessageBoxParent() {
  // In front of our own dialog when one is on screen, else the document.
  for (auto window = windows_.rbegin(); window != windows_.rend(); ++window) {
    if ((*window)->visible() && (*window)->peer().is()) return (*window)->peer();
  }
  Reference<css::awt::XWindowPeer> parent = ParentPeer();
  if (parent.is()) return parent;
  // No document window (the office is closing): a hidden window of our own.
  if (!fallback_parent_.is()) {
    css::awt::WindowDescriptor descriptor;
    descriptor.Type = css::awt::WindowClass_TOP;
    descriptor.WindowServiceName = "workwindow";
    descriptor.Bounds = css::awt::Rectangle(0, 0, 1, 1);
    descriptor.WindowAttributes = css::awt::WindowAttribute::NODECORATION;
    fallback_parent_ = css::awt::Toolkit::create(context_)->createWindow(descriptor);
  }
  return fallback_parent_;
}

int UnoUserInterface::MessageBox(std::string_view text, int style, std::string_view title) {
  SyncAll();
  Reference<css::awt::XMessageBoxFactory> factory(css::awt::Toolkit::create(context_), UNO_QUERY_THROW);
  const bool yes_no = (style & 0x0F) == message_box::kYesNo;
  sal_Int32 buttons = yes_no ? css::awt::MessageBoxButtons::BUTTONS_YES_NO
                             : css::awt::MessageBoxButtons::BUTTONS_OK;
  Reference<css::awt::XMessageBox> box =
      factory->createMessageBox(MessageBoxParent(), BoxType(style), buttons, ToUno(title), ToUno(text));
  if (!box.is()) return yes_no ? message_box::kAnswerNo : message_box::kAnswerOk;
  sal_Int16 answer = box->execute();
  Reference<css::lang::XComponent> component(box, UNO_QUERY);
  if (component.is()) component->dispose();
  return MessageBoxAnswer(answer, style);
}

void UnoUserInterface::SetBusyCursor(bool busy) {
  Reference<css::awt::XPointer> pointer(
      context_->getServiceManager()->createInstanceWithContext("com.sun.star.awt.Pointer", context_),
      UNO_QUERY);
  if (!pointer.is()) return;
  pointer->setType(busy ? css::awt::SystemPointer::WAIT : css::awt::SystemPointer::ARROW);
  std::vector<Reference<css::awt::XWindowPeer>> peers;
  for (auto& window : windows_) {
    if (window->peer().is()) peers.push_back(window->peer());
  }
  if (Reference<css::awt::XWindowPeer> parent = ParentPeer(); parent.is()) peers.push_back(parent);
  for (auto& peer : peers) {
    try {
      peer->setPointer(pointer);
    } catch (...) {
    }
  }
}

TextExtent UnoUserInterface::MeasureText(const forms::Font& font, std::string_view text) {
  Reference<css::awt::XWindowPeer> peer = ParentPeer();
  Reference<css::awt::XDevice> device(peer, UNO_QUERY);
  Reference<css::awt::XUnitConversion> conversion(peer, UNO_QUERY);
  if (device.is() && conversion.is()) {
    Reference<css::awt::XFont> measured = device->getFont(Descriptor(font));
    if (measured.is()) {
      css::awt::SimpleFontMetric metric = measured->getFontMetric();
      css::awt::Size pixels(measured->getStringWidth(ToUno(text)),
                            metric.Ascent + metric.Descent + metric.Leading);
      css::awt::Size twips = conversion->convertSizeToLogic(pixels, css::util::MeasureUnit::TWIP);
      return {static_cast<double>(twips.Width), static_cast<double>(twips.Height)};
    }
  }
  // No window to measure on: an average character is about half the size.
  double em = font.size_pt * 20;
  return {em * 0.55 * forms::Utf8Length(text), em * 1.2};
}

bool UnoUserInterface::OnKey(const css::awt::KeyEvent& event, bool pressed) {
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    FormWindow* window = windows_[i].get();
    if (window == nullptr || window->closed() || !window->visible()) continue;
    FormWindow::KeyOutcome outcome = window->OnKey(event, pressed);
    if (outcome != FormWindow::KeyOutcome::kNotOurs) return outcome == FormWindow::KeyOutcome::kRefused;
  }
  return false;
}

}  // namespace pelorin::calc
