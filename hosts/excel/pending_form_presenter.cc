// Until the window renderer of the forms is part of the build, a form shown
// gets a plain window of its own, owned by Excel's window and captioned as
// the form, so that the user (and the tests) can see which dialog a command
// opened. The window's "PelorinForm" property holds a global atom of the
// form's name.
#include <windows.h>

#include <map>

#include "core/forms/form.h"
#include "hosts/excel/form_presenter.h"
#include "platform/win32/wide_text.h"

namespace pelorin::excel {
namespace {

constexpr wchar_t kWindowClass[] = L"PelorinPendingForm";
constexpr wchar_t kNameProperty[] = L"PelorinForm";
constexpr double kTwipsPerPixel = 15.0;

void RegisterWindowClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  RegisterClassW(&window_class);
  registered = true;
}

class PendingFormPresenter : public FormPresenter {
 public:
  explicit PendingFormPresenter(HWND owner) : owner_(owner) { RegisterWindowClass(); }
  ~PendingFormPresenter() override {
    for (auto& [form, window] : windows_) Destroy(window);
  }

  void Shown(forms::Form& form) override {
    HWND& window = windows_[&form];
    if (window == nullptr) window = Create(form);
    ShowWindow(window, SW_SHOWNORMAL);
  }
  void Hidden(forms::Form& form) override {
    auto found = windows_.find(&form);
    if (found != windows_.end()) ShowWindow(found->second, SW_HIDE);
  }
  void Unloaded(forms::Form& form) override {
    auto found = windows_.find(&form);
    if (found == windows_.end()) return;
    Destroy(found->second);
    windows_.erase(found);
  }
  void Repaint(forms::Form& form) override {
    auto found = windows_.find(&form);
    if (found != windows_.end()) UpdateWindow(found->second);
  }
  void PumpMessages() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  void EnableForms(bool enabled) override {
    for (auto& [form, window] : windows_) EnableWindow(window, enabled);
  }
  // An average-width estimate of a proportional font.
  TextExtent MeasureText(const forms::Font& font, std::string_view text) override {
    double size = font.size_pt > 0 ? font.size_pt : 8.25;
    int characters = forms::Utf8Length(text);
    return {characters * size * 0.55 * 20.0, size * 1.2 * 20.0};
  }

 private:
  HWND Create(forms::Form& form) {
    std::wstring caption = win32::Utf8ToWide(form.caption());
    RECT frame{0, 0, static_cast<LONG>(form.client_width() / kTwipsPerPixel),
               static_cast<LONG>(form.client_height() / kTwipsPerPixel)};
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_POPUP;
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, kWindowClass, caption.c_str(), style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, owner_,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ATOM name = GlobalAddAtomW(win32::Utf8ToWide(form.name()).c_str());
    SetPropW(window, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(name)));
    return window;
  }
  static void Destroy(HWND window) {
    auto name = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropW(window, kNameProperty)));
    if (name != 0) GlobalDeleteAtom(name);
    DestroyWindow(window);
  }

  HWND owner_;
  std::map<forms::Form*, HWND> windows_;
};

}  // namespace

std::unique_ptr<FormPresenter> MakeFormPresenter(HWND owner) {
  return std::make_unique<PendingFormPresenter>(owner);
}

}  // namespace pelorin::excel
