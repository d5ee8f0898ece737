// One form model's native window: a modeless dialog owned by the host's main
// window, its controls created in tab order, kept in step with the model at
// each sync, and the user's events forwarded to the model.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/forms/form.h"
#include "core/forms/form_sync.h"
#include "hosts/excel/forms/screen_units.h"

namespace pelorin::excel {

// Where a window hands the user's events: the presenter runs them and then
// brings every window up to date, since a handler may touch other forms.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void Forward(forms::Form& form, const std::function<void()>& event) = 0;
};

// Native control ids start here, after the dialog's own IDOK and IDCANCEL:
// the control at position i of the model's control list has id kFirstControlId + i.
inline constexpr int kFirstControlId = 100;

// Each native control carries its model name as a window property (an atom
// of the process's table), so that a host or a test in the same process can
// find a control by name.
inline constexpr wchar_t kControlNameProperty[] = L"PelorinControlName";
// The model name of a native control; empty for a window of no form.
std::string ControlNameOf(HWND control);

class FormWindow {
 public:
  FormWindow(forms::Form& form, HWND owner, EventSink& events, FontCache& fonts, BrushCache& brushes);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  forms::Form& form() { return form_; }
  HWND window() const { return window_; }
  HWND ControlWindow(std::string_view name) const;

  // Pushes what changed in the model since the last sync.
  void Sync();
  void Show();
  void Hide();
  void Redraw();
  void SetEnabled(bool enabled);
  // Destroys the native window; the model may go right after. Safe from
  // inside one of this window's own handlers.
  void Close();
  // Writes the text boxes' carets and selections into the model, which
  // handlers read (an insertion goes at the caret).
  void HarvestCarets();

 private:
  struct Native {
    std::string name;
    forms::ControlKind kind;
    HWND window = nullptr;
    int id = 0;
    forms::Rgb fore_color, back_color;
    std::string picture;
    bool link = false;
    bool wants_enter = false;
  };

  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK BoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                  UINT_PTR subclass_id, DWORD_PTR self);
  INT_PTR HandleDialog(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleBox(Native& native, HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  void ResizeToClient();
  void Rebuild();
  void CreateNative(const forms::Control& control, int id);
  void DestroyNatives();
  void Push(forms::Control& control, std::uint32_t aspects);
  void PushText(Native& native, const forms::Control& control);
  void PushGeometry(Native& native, const forms::Control& control);
  void PushFont(Native& native, const forms::Control& control);
  void PushItems(Native& native, const forms::Control& control);
  void PushSelectedItem(Native& native, const forms::Control& control);
  void PushChecked(Native& native, const forms::Control& control);
  void PushGrid(Native& native, const forms::Control& control);
  void PushCaret(Native& native, const forms::Control& control);
  void PushStyle(Native& native, const forms::Control& control);
  void PushFocus();
  void AddTooltip(Native& native, const std::string& text);

  Native* FindById(int id);
  Native* FindByWindow(HWND window);
  forms::Control* ModelOf(const Native& native);
  void OnCommand(int id, int code);
  void OnNotify(const NMHDR& header);
  void OnBoxChanged(Native& native);
  HBRUSH OnColor(HDC dc, HWND control, bool text_box);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void Forward(const std::function<void()>& event);

  forms::Form& form_;
  HWND owner_;
  EventSink& events_;
  FontCache& fonts_;
  BrushCache& brushes_;
  forms::FormSync sync_;
  HWND window_ = nullptr;
  HWND tooltip_ = nullptr;
  int dpi_ = 96;
  bool pushing_ = false;
  // The first half of a character outside the basic plane, held until its
  // second half arrives so that the model sees the character once.
  wchar_t pending_high_surrogate_ = 0;
  std::vector<Native> natives_;
};

}  // namespace pelorin::excel
