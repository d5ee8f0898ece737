#include "hosts/excel/forms/win32_form_presenter.h"

#include <algorithm>

#include "core/forms/form.h"
#include "hosts/excel/forms/wide_text.h"

namespace pelorin::excel {

Win32FormPresenter::Win32FormPresenter(HWND owner) : owner_(owner) {}

Win32FormPresenter::~Win32FormPresenter() {
  windows_.clear();
  closed_.clear();
}

FormWindow* Win32FormPresenter::Find(const forms::Form& form) const {
  auto found = windows_.find(&form);
  return found == windows_.end() ? nullptr : found->second.get();
}

void Win32FormPresenter::Shown(forms::Form& form) {
  FreeClosedWindows();
  FormWindow* window = Find(form);
  if (window == nullptr) {
    auto created = std::make_unique<FormWindow>(form, owner_, *this, fonts_, brushes_);
    window = created.get();
    windows_[&form] = std::move(created);
  }
  window->Show();
}

void Win32FormPresenter::Hidden(forms::Form& form) {
  if (FormWindow* window = Find(form)) window->Hide();
}

void Win32FormPresenter::Unloaded(forms::Form& form) {
  auto found = windows_.find(&form);
  if (found == windows_.end()) return;
  found->second->Close();
  closed_.push_back(std::move(found->second));
  windows_.erase(found);
  // The handler running may be this window's own, so the object (not the
  // window) lives on until no event runs.
  if (event_depth_ == 0) FreeClosedWindows();
}

void Win32FormPresenter::Repaint(forms::Form& form) {
  if (FormWindow* window = Find(form)) window->Redraw();
}

void Win32FormPresenter::SyncAll() {
  for (auto& [form, window] : windows_) window->Sync();
}

void Win32FormPresenter::PumpMessages() {
  SyncAll();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to take: the host's loop must still see it.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  FreeClosedWindows();
}

void Win32FormPresenter::EnableForms(bool enabled) {
  for (auto& [form, window] : windows_) window->SetEnabled(enabled);
}

TextExtent Win32FormPresenter::MeasureText(const forms::Font& font, std::string_view text) {
  int dpi = WindowDpi(owner_);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old_font = SelectObject(dc, fonts_.Get(font, dpi));
  std::wstring wide = Widen(text);
  RECT area{0, 0, 0, 0};
  if (wide.empty()) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    area.bottom = metrics.tmHeight;
  } else {
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &area, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  }
  SelectObject(dc, old_font);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return {PixelsToTwips(area.right - area.left, dpi), PixelsToTwips(area.bottom - area.top, dpi)};
}

HWND Win32FormPresenter::FormWindowOf(const forms::Form& form) const {
  FormWindow* window = Find(form);
  return window == nullptr ? nullptr : window->window();
}

HWND Win32FormPresenter::ControlWindowOf(const forms::Form& form, std::string_view control) const {
  FormWindow* window = Find(form);
  return window == nullptr ? nullptr : window->ControlWindow(control);
}

void Win32FormPresenter::Forward(forms::Form& form, const std::function<void()>& event) {
  if (!forms::AcceptsEvents(form)) return;
  ++event_depth_;
  try {
    event();
  } catch (...) {
    // Nothing thrown may cross a window procedure; handlers trap their own.
  }
  --event_depth_;
  if (event_depth_ == 0) SyncAll();
}

void Win32FormPresenter::FreeClosedWindows() {
  if (event_depth_ == 0) closed_.clear();
}

std::unique_ptr<FormPresenter> MakeFormPresenter(HWND owner) {
  return std::make_unique<Win32FormPresenter>(owner);
}

}  // namespace pelorin::excel
