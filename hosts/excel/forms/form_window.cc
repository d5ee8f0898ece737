#include "hosts/excel/forms/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <utility>

#include "hosts/excel/forms/dialog_keys.h"
#include "hosts/excel/forms/pictures.h"
#include "hosts/excel/forms/wide_text.h"

namespace pelorin::excel {
namespace {

using forms::Control;
using forms::ControlKind;

constexpr UINT_PTR kBoxSubclassId = 0x50454c;  // one subclass per text box
constexpr int kDropDownListRows = 8;

// An empty dialog: the controls are created from the model afterwards.
struct alignas(DWORD) EmptyDialogTemplate {
  DLGTEMPLATE header;
  WORD menu = 0;
  WORD window_class = 0;
  WORD title = 0;
};

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Half a character: the box is between the two halves of a surrogate pair.
bool HasLoneHighSurrogate(std::wstring_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsHighSurrogate(text[i]) && (i + 1 == text.size() || !IsLowSurrogate(text[i + 1]))) return true;
  }
  return false;
}

int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

// Themed check boxes and option buttons ignore the parent's text colour.
void DropTheme(HWND window) {
  using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static const auto set_window_theme = [] {
    HMODULE theme = LoadLibraryW(L"uxtheme.dll");
    return theme ? reinterpret_cast<SetWindowThemeFn>(
                       reinterpret_cast<void*>(GetProcAddress(theme, "SetWindowTheme")))
                 : nullptr;
  }();
  if (set_window_theme != nullptr) set_window_theme(window, L"", L"");
}

struct NativeKind {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

NativeKind KindOf(const Control& c) {
  switch (c.kind) {
    case ControlKind::kLabel: {
      DWORD align = c.alignment == forms::Alignment::kCenter  ? SS_CENTER
                    : c.alignment == forms::Alignment::kRight ? SS_RIGHT
                                                              : SS_LEFT;
      return {WC_STATICW, align | SS_NOTIFY | SS_NOPREFIX, 0};
    }
    case ControlKind::kTextBox: {
      DWORD style = WS_TABSTOP | ES_LEFT;
      if (c.multiline) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        if (c.vertical_scroll_bar) style |= WS_VSCROLL;
      } else {
        style |= ES_AUTOHSCROLL;
      }
      if (!c.password_char.empty()) style |= ES_PASSWORD;
      return {WC_EDITW, style, WS_EX_CLIENTEDGE};
    }
    case ControlKind::kButton:
      return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::kCheckBox:
      return {WC_BUTTONW, BS_CHECKBOX | WS_TABSTOP, 0};
    case ControlKind::kOptionButton:
      // Core treats every option button of a form as one set, wherever they
      // sit in tab order: each is its own group, and only the checked one is
      // a tab stop (moved at every sync).
      return {WC_BUTTONW, BS_RADIOBUTTON | WS_GROUP, 0};
    case ControlKind::kDropDownList:
      return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::kListBox:
      return {WC_LISTBOXW, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::kPicture:
      return {WC_STATICW, SS_OWNERDRAW | SS_NOTIFY, 0};
    case ControlKind::kLine:
      return {WC_STATICW, SS_OWNERDRAW, 0};
    case ControlKind::kGrid:
      return {WC_LISTVIEWW,
              LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
  }
  return {WC_STATICW, 0, 0};
}

void ForgetName(HWND control) {
  auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropW(control, kControlNameProperty)));
  if (atom != 0) DeleteAtom(atom);
}

}  // namespace

std::string ControlNameOf(HWND control) {
  auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(control, kControlNameProperty)));
  if (atom == 0) return {};
  wchar_t name[256] = {};
  UINT length = GetAtomNameW(atom, name, 256);
  return Narrow(std::wstring_view(name, length));
}

FormWindow::FormWindow(forms::Form& form, HWND owner, EventSink& events, FontCache& fonts,
                       BrushCache& brushes)
    : form_(form), owner_(owner), events_(events), fonts_(fonts), brushes_(brushes) {
  static const bool common_controls = [] {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES |
                                                               ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  (void)common_controls;

  EmptyDialogTemplate empty{};
  empty.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
  empty.header.dwExtendedStyle = WS_EX_CONTROLPARENT;
  window_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &empty.header, owner_, DialogProc,
                                       reinterpret_cast<LPARAM>(this));
  if (window_ == nullptr) return;
  dpi_ = WindowDpi(window_);
  ResizeToClient();
  RegisterDialogKeys(window_);
  Sync();
}

FormWindow::~FormWindow() { Close(); }

void FormWindow::Close() {
  if (window_ == nullptr) return;
  HWND window = window_;
  window_ = nullptr;
  UnregisterDialogKeys(window);
  // Late messages during destruction must not reach a model that is gone.
  SetWindowLongPtrW(window, DWLP_USER, 0);
  for (Native& native : natives_) {
    if (native.kind == ControlKind::kTextBox) RemoveWindowSubclass(native.window, BoxProc, kBoxSubclassId);
    ForgetName(native.window);
  }
  natives_.clear();
  DestroyWindow(window);
  tooltip_ = nullptr;
}

void FormWindow::ResizeToClient() {
  RECT frame{0, 0, TwipsToPixels(form_.client_width(), dpi_), TwipsToPixels(form_.client_height(), dpi_)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  RECT around{};
  if (owner_ == nullptr || !GetWindowRect(owner_, &around) || IsIconic(owner_)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  }
  int left = std::max<int>(0, around.left + (around.right - around.left - width) / 2);
  int top = std::max<int>(0, around.top + (around.bottom - around.top - height) / 2);
  SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND FormWindow::ControlWindow(std::string_view name) const {
  for (const Native& native : natives_) {
    if (native.name == name) return native.window;
  }
  return nullptr;
}

FormWindow::Native* FormWindow::FindById(int id) {
  for (Native& native : natives_) {
    if (native.id == id) return &native;
  }
  return nullptr;
}

FormWindow::Native* FormWindow::FindByWindow(HWND window) {
  for (Native& native : natives_) {
    if (native.window == window) return &native;
  }
  return nullptr;
}

forms::Control* FormWindow::ModelOf(const Native& native) {
  if (!form_.loaded()) return nullptr;
  for (const auto& control : form_.controls()) {
    if (control->name == native.name) return control.get();
  }
  return nullptr;
}

void FormWindow::Sync() {
  if (window_ == nullptr || !form_.loaded()) return;
  forms::FormUpdate update = sync_.TakeUpdate(form_);
  if (update.empty()) return;
  pushing_ = true;
  if (update.rebuilt) Rebuild();
  if (update.caption) {
    SetWindowTextW(window_, Widen(form_.caption()).c_str());
    InvalidateRect(window_, nullptr, TRUE);
  }
  for (forms::ControlUpdate& change : update.controls) Push(*change.control, change.aspects);
  if (update.focus) PushFocus();
  pushing_ = false;
}

void FormWindow::DestroyNatives() {
  for (Native& native : natives_) {
    if (native.kind == ControlKind::kTextBox) RemoveWindowSubclass(native.window, BoxProc, kBoxSubclassId);
    ForgetName(native.window);
    DestroyWindow(native.window);
  }
  natives_.clear();
}

void FormWindow::Rebuild() {
  DestroyNatives();
  const auto& controls = form_.controls();
  natives_.reserve(controls.size());
  for (const Control* control : forms::InTabOrder(form_)) {
    auto position = std::find_if(controls.begin(), controls.end(),
                                 [control](const auto& c) { return c.get() == control; });
    CreateNative(*control, kFirstControlId + static_cast<int>(position - controls.begin()));
  }
}

void FormWindow::CreateNative(const Control& control, int id) {
  NativeKind kind = KindOf(control);
  HWND window = CreateWindowExW(kind.ex_style, kind.window_class, L"", WS_CHILD | kind.style, 0, 0, 0, 0,
                                window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
  std::wstring name = Widen(control.name);
  SetPropW(window, kControlNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(AddAtomW(name.c_str()))));
  Native native;
  native.name = control.name;
  native.kind = control.kind;
  native.window = window;
  native.id = id;
  natives_.push_back(native);
  if (control.kind == ControlKind::kTextBox) {
    SetWindowSubclass(window, BoxProc, kBoxSubclassId, reinterpret_cast<DWORD_PTR>(this));
  }
  if (control.kind == ControlKind::kCheckBox || control.kind == ControlKind::kOptionButton) DropTheme(window);
  if (control.kind == ControlKind::kGrid) {
    ListView_SetExtendedListViewStyle(window, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  }
}

void FormWindow::Push(Control& control, std::uint32_t aspects) {
  Native* native = nullptr;
  for (Native& n : natives_) {
    if (n.name == control.name) native = &n;
  }
  if (native == nullptr) return;
  using forms::ControlAspect;
  auto has = [aspects](ControlAspect aspect) { return (aspects & aspect) != 0; };
  if (has(forms::kAspectStyle)) PushStyle(*native, control);
  if (has(forms::kAspectFont)) PushFont(*native, control);
  if (has(forms::kAspectColors)) {
    native->fore_color = control.fore_color;
    native->back_color = control.back_color;
    InvalidateRect(native->window, nullptr, TRUE);
  }
  if (has(forms::kAspectGeometry)) PushGeometry(*native, control);
  if (has(forms::kAspectItems)) PushItems(*native, control);
  if (has(forms::kAspectItems) || has(forms::kAspectSelectedItem)) PushSelectedItem(*native, control);
  if (has(forms::kAspectText)) PushText(*native, control);
  if (has(forms::kAspectChecked)) PushChecked(*native, control);
  if (has(forms::kAspectGrid)) PushGrid(*native, control);
  if (has(forms::kAspectEnabled)) EnableWindow(native->window, control.enabled);
  if (has(forms::kAspectVisible)) ShowWindow(native->window, control.visible ? SW_SHOWNA : SW_HIDE);
  if (has(forms::kAspectText) || has(forms::kAspectCaret)) PushCaret(*native, control);
}

void FormWindow::PushStyle(Native& native, const Control& control) {
  native.picture = control.picture;
  native.link = control.acts_as_link;
  native.wants_enter = static_cast<bool>(control.on_key_press) && !control.multiline;
  if (native.kind == ControlKind::kLabel) {
    LONG_PTR style = GetWindowLongPtrW(native.window, GWL_STYLE) & ~static_cast<LONG_PTR>(SS_TYPEMASK);
    SetWindowLongPtrW(native.window, GWL_STYLE, style | (KindOf(control).style & SS_TYPEMASK));
  }
  if (native.kind == ControlKind::kTextBox) {
    std::wstring mask = Widen(control.password_char);
    SendMessageW(native.window, EM_SETPASSWORDCHAR, mask.empty() ? 0 : mask[0], 0);
    SendMessageW(native.window, EM_SETLIMITTEXT, control.max_length > 0 ? control.max_length : 0x7FFFFFFE, 0);
  }
  if (!control.tooltip.empty()) AddTooltip(native, control.tooltip);
  InvalidateRect(native.window, nullptr, TRUE);
}

void FormWindow::AddTooltip(Native& native, const std::string& text) {
  if (tooltip_ == nullptr) {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  }
  std::wstring wide = Widen(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(native.window);
  tool.lpszText = wide.data();
  SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::PushFont(Native& native, const Control& control) {
  HFONT font = fonts_.Get(control.font, dpi_, control.acts_as_link);
  SendMessageW(native.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void FormWindow::PushGeometry(Native& native, const Control& control) {
  RECT r = TwipsToPixels(control.rect, dpi_);
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  if (native.kind == ControlKind::kLine) height = std::max(height, 1);
  if (native.kind == ControlKind::kDropDownList) {
    // The window's height includes the list that drops down.
    int item = static_cast<int>(SendMessageW(native.window, CB_GETITEMHEIGHT, 0, 0));
    height += std::max(item, 1) * kDropDownListRows + 2;
  }
  SetWindowPos(native.window, nullptr, r.left, r.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::PushText(Native& native, const Control& control) {
  switch (native.kind) {
    case ControlKind::kLabel:
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton:
    case ControlKind::kTextBox: {
      std::wstring wide = Widen(control.text);
      // Writing what the box shows already would move its caret.
      if (WindowText(native.window) != wide) SetWindowTextW(native.window, wide.c_str());
      break;
    }
    default:
      break;
  }
}

void FormWindow::PushItems(Native& native, const Control& control) {
  bool combo = native.kind == ControlKind::kDropDownList;
  if (!combo && native.kind != ControlKind::kListBox) return;
  SendMessageW(native.window, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  for (const std::string& item : control.items) {
    std::wstring wide = Widen(item);
    SendMessageW(native.window, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
}

void FormWindow::PushSelectedItem(Native& native, const Control& control) {
  if (native.kind == ControlKind::kDropDownList) {
    SendMessageW(native.window, CB_SETCURSEL, static_cast<WPARAM>(control.selected_index), 0);
  } else if (native.kind == ControlKind::kListBox) {
    SendMessageW(native.window, LB_SETCURSEL, static_cast<WPARAM>(control.selected_index), 0);
  }
}

void FormWindow::PushChecked(Native& native, const Control& control) {
  if (native.kind != ControlKind::kCheckBox && native.kind != ControlKind::kOptionButton) return;
  SendMessageW(native.window, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (native.kind == ControlKind::kOptionButton) {
    LONG_PTR style = GetWindowLongPtrW(native.window, GWL_STYLE);
    style = control.checked ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrW(native.window, GWL_STYLE, style);
  }
}

void FormWindow::PushGrid(Native& native, const Control& control) {
  if (native.kind != ControlKind::kGrid) return;
  const forms::GridModel& grid = control.grid;
  SendMessageW(native.window, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(native.window);
  while (ListView_DeleteColumn(native.window, 0)) {
  }
  for (int column = 0; column < grid.columns; ++column) {
    std::wstring header = grid.rows.empty() || column >= static_cast<int>(grid.rows[0].size())
                              ? std::wstring()
                              : Widen(grid.rows[0][static_cast<std::size_t>(column)]);
    int twips = column < static_cast<int>(grid.column_widths.size())
                    ? grid.column_widths[static_cast<std::size_t>(column)]
                    : 0;
    LVCOLUMNW description{};
    description.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    description.pszText = header.data();
    description.cx = TwipsToPixels(twips, dpi_);
    description.iSubItem = column;
    ListView_InsertColumn(native.window, column, &description);
  }
  for (std::size_t row = 1; row < grid.rows.size(); ++row) {
    const auto& cells = grid.rows[row];
    for (int column = 0; column < grid.columns; ++column) {
      std::wstring text = column < static_cast<int>(cells.size()) ? Widen(cells[static_cast<std::size_t>(column)])
                                                                  : std::wstring();
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row - 1);
      item.iSubItem = column;
      item.pszText = text.data();
      if (column == 0) {
        ListView_InsertItem(native.window, &item);
      } else {
        ListView_SetItem(native.window, &item);
      }
    }
  }
  SendMessageW(native.window, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(native.window, nullptr, TRUE);
}

void FormWindow::PushCaret(Native& native, const Control& control) {
  if (native.kind != ControlKind::kTextBox) return;
  std::wstring text = WindowText(native.window);
  int start = UnitsBefore(text, control.selection_start);
  int end = UnitsBefore(text, control.selection_start + control.selection_length);
  SendMessageW(native.window, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  SendMessageW(native.window, EM_SCROLLCARET, 0, 0);
}

void FormWindow::PushFocus() {
  const std::string& name = form_.focused_control();
  if (name.empty()) return;
  HWND target = ControlWindow(name);
  if (target == nullptr || GetFocus() == target || !IsWindowVisible(window_)) return;
  SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void FormWindow::Show() {
  if (window_ == nullptr) return;
  Sync();
  bool was_visible = IsWindowVisible(window_) != FALSE;
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  if (was_visible) return;
  HWND target = form_.focused_control().empty() ? nullptr : ControlWindow(form_.focused_control());
  if (target == nullptr || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
    target = GetNextDlgTabItem(window_, nullptr, FALSE);
  }
  if (target != nullptr) SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void FormWindow::Hide() {
  if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
}

void FormWindow::Redraw() {
  if (window_ == nullptr) return;
  Sync();
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void FormWindow::SetEnabled(bool enabled) {
  if (window_ != nullptr) EnableWindow(window_, enabled);
}

void FormWindow::HarvestCarets() {
  if (!form_.loaded()) return;
  HWND focus = GetFocus();
  for (Native& native : natives_) {
    Control* control = ModelOf(native);
    if (control == nullptr) continue;
    if (native.window == focus || (focus != nullptr && IsChild(native.window, focus))) {
      if (form_.focused_control() != native.name) form_.SetFocus(native.name);
    }
    if (native.kind != ControlKind::kTextBox) continue;
    DWORD start = 0, end = 0;
    SendMessageW(native.window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::wstring text = WindowText(native.window);
    control->selection_start = CharactersBefore(text, static_cast<int>(start));
    control->selection_length = CharactersBefore(text, static_cast<int>(end)) - control->selection_start;
  }
}

void FormWindow::Forward(const std::function<void()>& event) {
  if (!forms::AcceptsEvents(form_)) return;
  // Whatever the model changed outside an event goes out first, so that what
  // is read back from the window is the user's doing alone.
  Sync();
  HarvestCarets();
  Sync();
  events_.Forward(form_, event);
}

void FormWindow::OnCommand(int id, int code) {
  Native* native = FindById(id);
  if (native == nullptr) return;
  std::string name = native->name;
  switch (native->kind) {
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton:
      if (code == BN_CLICKED) Forward([this, name] { form_.Click(name); });
      break;
    case ControlKind::kLabel:
    case ControlKind::kPicture:
      if (code == STN_CLICKED) Forward([this, name] { form_.Click(name); });
      if (code == STN_DBLCLK) Forward([this, name] { form_.DoubleClick(name); });
      break;
    case ControlKind::kTextBox:
      if (code == EN_CHANGE && !pushing_) OnBoxChanged(*native);
      break;
    case ControlKind::kListBox:
      if (code == LBN_SELCHANGE) {
        int index = static_cast<int>(SendMessageW(native->window, LB_GETCURSEL, 0, 0));
        Forward([this, name, index] { form_.SelectItem(name, index); });
      }
      if (code == LBN_DBLCLK) Forward([this, name] { form_.DoubleClick(name); });
      break;
    case ControlKind::kDropDownList:
      if (code == CBN_SELCHANGE) {
        int index = static_cast<int>(SendMessageW(native->window, CB_GETCURSEL, 0, 0));
        Forward([this, name, index] { form_.SelectItem(name, index); });
      }
      break;
    default:
      break;
  }
}

void FormWindow::OnBoxChanged(Native& native) {
  HWND box = native.window;
  std::wstring wide = WindowText(box);
  if (HasLoneHighSurrogate(wide)) return;
  std::string text = Narrow(wide);
  Control* control = ModelOf(native);
  if (control == nullptr || control->text == text) return;
  std::string name = native.name;
  Forward([this, name, text, box, wide] {
    form_.SetText(name, text);
    // Unless the handler rewrote the text, the box's own caret stands (the
    // model puts it at the end, as a paste does).
    if (!form_.loaded()) return;
    Control& changed = form_.control(name);
    if (changed.text != text) return;
    DWORD start = 0, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    changed.selection_start = CharactersBefore(wide, static_cast<int>(start));
    changed.selection_length = CharactersBefore(wide, static_cast<int>(end)) - changed.selection_start;
  });
}

void FormWindow::OnNotify(const NMHDR& header) {
  Native* native = FindByWindow(header.hwndFrom);
  if (native == nullptr || native->kind != ControlKind::kGrid) return;
  std::string name = native->name;
  if (header.code == NM_CLICK) Forward([this, name] { form_.Click(name); });
  if (header.code == NM_DBLCLK) Forward([this, name] { form_.DoubleClick(name); });
}

HBRUSH FormWindow::OnColor(HDC dc, HWND control, bool text_box) {
  Native* native = FindByWindow(control);
  if (native == nullptr) native = FindByWindow(GetParent(control));
  if (native == nullptr) {
    if (text_box) return nullptr;
    SetBkColor(dc, ToColorRef(form_.back_color()));
    return brushes_.Get(form_.back_color());
  }
  SetTextColor(dc, ToColorRef(native->fore_color));
  SetBkColor(dc, ToColorRef(native->back_color));
  return brushes_.Get(native->back_color);
}

void FormWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  Native* native = FindByWindow(item.hwndItem);
  if (native == nullptr) return;
  FillRect(item.hDC, &item.rcItem, brushes_.Get(native->kind == ControlKind::kLine ? native->fore_color
                                                                                  : form_.back_color()));
  if (native->kind == ControlKind::kPicture) {
    forms::Font caption_font;
    caption_font.bold = true;
    DrawPicture(item.hDC, item.rcItem, native->picture, fonts_.Get(caption_font, dpi_));
  }
}

INT_PTR CALLBACK FormWindow::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    reinterpret_cast<FormWindow*>(lparam)->window_ = window;
    return FALSE;
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  if (self == nullptr) return FALSE;
  try {
    return self->HandleDialog(message, wparam, lparam);
  } catch (...) {
    return FALSE;
  }
}

INT_PTR FormWindow::HandleDialog(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (lparam != 0) OnCommand(LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
      return FALSE;
    case WM_CLOSE:
      // The title bar's close button: the model decides (a dialog hides).
      Forward([this] { form_.CloseWindow(); });
      return TRUE;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(brushes_.Get(form_.back_color()));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<INT_PTR>(OnColor(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam), false));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return reinterpret_cast<INT_PTR>(OnColor(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam), true));
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_SETCURSOR: {
      Native* native = FindByWindow(reinterpret_cast<HWND>(wparam));
      if (native != nullptr && (native->link || !native->picture.empty())) {
        Control* control = ModelOf(*native);
        if (control != nullptr && control->on_click) {
          SetCursor(LoadCursorW(nullptr, IDC_HAND));
          SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
          return TRUE;
        }
      }
      return FALSE;
    }
    case WM_DPICHANGED:
      dpi_ = HIWORD(wparam);
      ResizeToClient();
      sync_.Forget();
      Sync();
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT CALLBACK FormWindow::BoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR self) {
  auto* owner = reinterpret_cast<FormWindow*>(self);
  Native* native = owner->FindByWindow(window);
  if (native == nullptr) return DefSubclassProc(window, message, wparam, lparam);
  try {
    return owner->HandleBox(*native, window, message, wparam, lparam);
  } catch (...) {
    return 0;
  }
}

LRESULT FormWindow::HandleBox(Native& native, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  std::string name = native.name;
  switch (message) {
    case WM_GETDLGCODE: {
      LRESULT code = DefSubclassProc(window, message, wparam, lparam);
      const MSG* pending = reinterpret_cast<const MSG*>(lparam);
      if (pending != nullptr && pending->message == WM_KEYDOWN) {
        // A box whose key handler reacts to Enter gets it, not the dialog.
        if (pending->wParam == VK_RETURN && native.wants_enter) code |= DLGC_WANTMESSAGE;
        // Tab moves on, even out of a multi-line box.
        if (pending->wParam == VK_TAB) code &= ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
      }
      return code;
    }
    case WM_KEYDOWN:
    case WM_KEYUP: {
      auto key = static_cast<forms::KeyCode>(wparam);
      int shift = ShiftState();
      if (message == WM_KEYDOWN) {
        Forward([this, name, key, shift]() mutable { form_.KeyDown(name, key, shift); });
      } else {
        Forward([this, name, key, shift]() mutable { form_.KeyUp(name, key, shift); });
      }
      return IsWindow(window) ? DefSubclassProc(window, message, wparam, lparam) : 0;
    }
    case WM_CHAR: {
      auto unit = static_cast<wchar_t>(wparam);
      if (IsHighSurrogate(unit)) {
        pending_high_surrogate_ = unit;
        return 0;
      }
      wchar_t high = std::exchange(pending_high_surrogate_, 0);
      if (IsLowSurrogate(unit) && high == 0) return 0;
      // A character beyond 16 bits reaches the handlers as the largest code,
      // as the models' own typing does; handlers only ever refuse a key.
      forms::KeyCode key = unit <= 0x7FFF && high == 0 ? static_cast<forms::KeyCode>(unit) : 0x7FFF;
      bool delivered = false;
      Forward([this, name, &key, &delivered] {
        delivered = true;
        form_.KeyPress(name, key);
      });
      // A refused key never reaches the box.
      if (!delivered || key == 0 || !IsWindow(window)) return 0;
      if (high != 0) DefSubclassProc(window, message, high, lparam);
      return DefSubclassProc(window, message, unit, lparam);
    }
    default:
      return DefSubclassProc(window, message, wparam, lparam);
  }
}

}  // namespace pelorin::excel
