// excel-standin: a stand-in for Excel that loads the Pelorin add-in the way
// Excel does and runs a script of steps against it.
//
//   excel-standin.exe SCRIPT
//
// One step a line; "#" starts a comment; an argument with blanks is written
// in double quotes; ${NAME} is replaced by the environment variable NAME.
//   workbook FILE                 cells of the active sheet (see model.h)
//   host other                    the next connect hands over an application that is not Excel's
//   connect [after]               start-up connection (or a later one) of Pelorin.Connect
//   expect-connect ok|failed
//   disconnect [user]             Excel closing (or the user unloading the add-in)
//   answer yes|no|ok              how to answer the next message box
//   hold-next-box SECONDS         leave the next message box up this long first
//   click POPUP BUTTON            click a visible, enabled button of the menu
//   expect-box TEXT [STYLE [TITLE]]   the oldest box not yet checked (style 0 and
//                                 title "Pelorin" when left out); it must be owned
//                                 by Excel's main window
//   expect-no-box
//   expect-menu POPUP BUTTON enabled|disabled|hidden|absent
//   expect-buttons POPUP COUNT    the buttons left on the newest popup of that caption
//   expect-popups POPUP COUNT     the popups of that caption on the bar
//   expect-window CAPTION         a visible window owned by Excel's main window
//   expect-no-window CAPTION
//   set-setting session|settings NAME VALUE    write a REG_SZ value as the add-in stores it
//   delete-setting session|settings NAME
//   expect-setting session|settings NAME VALUE|absent
//   expect-opened ADDRESS         the shell opened the address (read from ${PELORIN_OPEN_LOG})
//   expect-released               the add-in holds no reference to Application or its COMAddIn
//   expect-can-unload yes|no      DllCanUnloadNow
//   pause SECONDS
// The add-in's dialogs, by window caption and control name:
//   type WINDOW CONTROL TEXT      keys as a keyboard sends them, into the control
//   press WINDOW CONTROL          a click on a button, check box or option button
//   choose WINDOW CONTROL ITEM    selects the entry of a list or drop-down list
//   double-click WINDOW CONTROL   a double click on a list
//   close-window WINDOW           the title bar's close button
//   expect-text WINDOW CONTROL TEXT     the control's text (\\n in TEXT, written so in a script, is a line break)
//   expect-items WINDOW CONTROL ITEMS   the entries of a list, joined by "|"
//   expect-rows WINDOW CONTROL COUNT    the rows of a grid
//   expect-state WINDOW CONTROL STATE   enabled|disabled|hidden|checked|unchecked
//   wait-state WINDOW CONTROL STATE SECONDS  the same, waited for (a long send)
//   reset-counters                the sheet's Range and Value call counts start again, and the clock
//   expect-range-calls-at-most N  Range(...) calls since reset-counters
//   report-counters LABEL         prints the counts and the milliseconds since reset-counters
// The transcript of the model's events goes to stdout; the exit code is 0
// when every step passed and no message box came unexpected.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/excel/standin/addin_host.h"
#include "tests/excel/standin/box_watcher.h"
#include "tests/excel/standin/model.h"

namespace standin {
namespace {

constexpr wchar_t kMainClass[] = L"XLMAIN";
constexpr wchar_t kSessionKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\";
constexpr wchar_t kSettingsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\";

class StepFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

void Print(const std::wstring& line) {
  std::string text = Narrow(line) + "\n";
  fwrite(text.data(), 1, text.size(), stdout);
  fflush(stdout);
}

[[noreturn]] void Fail(const std::wstring& what) { throw StepFailed(Narrow(what)); }

std::wstring ExpandEnvironment(const std::wstring& text) {
  std::wstring expanded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, L"${") == 0) {
      std::size_t end = text.find(L'}', i);
      if (end != std::wstring::npos) {
        std::wstring name = text.substr(i + 2, end - i - 2);
        wchar_t value[4096] = {};
        GetEnvironmentVariableW(name.c_str(), value, 4096);
        expanded += value;
        i = end;
        continue;
      }
    }
    expanded += text[i];
  }
  return expanded;
}

std::vector<std::wstring> Split(const std::wstring& line) {
  std::vector<std::wstring> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    if (i >= line.size() || line[i] == L'#') break;
    std::wstring word;
    if (line[i] == L'"') {
      ++i;
      while (i < line.size() && line[i] != L'"') {
        if (line[i] == L'\\' && i + 1 < line.size()) ++i;
        word += line[i++];
      }
      ++i;
    } else {
      while (i < line.size() && line[i] != L' ' && line[i] != L'\t') word += line[i++];
    }
    words.push_back(ExpandEnvironment(word));
  }
  return words;
}

const wchar_t* GroupKey(const std::wstring& group) {
  if (group == L"session") return kSessionKey;
  if (group == L"settings") return kSettingsKey;
  Fail(L"unknown settings group " + group);
}

void PumpFor(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  } while (GetTickCount() - start < milliseconds);
}

struct OwnedWindowSearch {
  HWND owner;
  std::wstring caption;
  bool found = false;
};

BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<OwnedWindowSearch*>(context);
  if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) != search->owner) return TRUE;
  wchar_t caption[256] = {};
  GetWindowTextW(window, caption, 256);
  if (search->caption == caption) search->found = true;
  return TRUE;
}

// A visible window owned by Excel's main window, by caption.
HWND OwnedWindow(HWND owner, const std::wstring& caption) {
  OwnedWindowSearch search{owner, caption};
  HWND found = nullptr;
  for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) != owner) continue;
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (caption == text) found = window;
  }
  if (found == nullptr) Fail(L"no window \"" + caption + L"\"");
  return found;
}

// The add-in's renderer names each control by a window property.
HWND NamedControl(HWND dialog, const std::wstring& name) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(child, L"PelorinControlName")));
    wchar_t text[256] = {};
    if (atom != 0 && GetAtomNameW(atom, text, 256) > 0 && name == text) return child;
  }
  Fail(L"no control " + name);
}

std::wstring TextOf(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::wstring WithLineBreaks(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, L"\\n") == 0) {
      out += L"\r\n";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void Notify(HWND control, WORD code) {
  SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
               reinterpret_cast<LPARAM>(control));
}

void TypeInto(HWND control, const std::wstring& text) {
  SetFocus(control);
  for (wchar_t c : text) {
    SHORT scan = VkKeyScanW(c);
    if (c < 0x80 && scan != -1 && (scan & 0x0100) == 0) {
      PostMessageW(control, WM_KEYDOWN, LOBYTE(scan), 1);
      PostMessageW(control, WM_KEYUP, LOBYTE(scan), 0xC0000001);
    } else {
      PostMessageW(control, WM_CHAR, c, 1);
    }
    PumpFor(5);
  }
  PumpFor(20);
}

std::wstring ItemsOf(HWND control) {
  wchar_t kind[32] = {};
  GetClassNameW(control, kind, 32);
  bool combo = lstrcmpiW(kind, L"ComboBox") == 0;
  int count = static_cast<int>(SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
  std::wstring items;
  for (int i = 0; i < count; ++i) {
    wchar_t item[512] = {};
    SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
    if (i > 0) items += L"|";
    items += item;
  }
  return items;
}

class Runner {
 public:
  explicit Runner(HWND main_window) : main_window_(main_window), watcher_(GetCurrentThreadId(), main_window) {
    model_ = std::make_unique<ApplicationModel>(main_window, true);
  }

  ApplicationModel& model() { return *model_; }

  void Step(const std::vector<std::wstring>& words);
  void Finish() {
    PumpFor(100);
    if (watcher_.unexpected() > 0 || watcher_.pending() > 0) {
      SeenBox box;
      std::wstring texts;
      while (watcher_.TakeBox(box)) texts += L" \"" + box.text + L"\"";
      Fail(L"message boxes nobody expected:" + texts);
    }
  }

 private:
  static void Need(const std::vector<std::wstring>& words, std::size_t count) {
    if (words.size() < count) Fail(L"step " + words[0] + L" needs more arguments");
  }

  ControlObjectBase* Popup(const std::wstring& caption, bool newest) {
    ControlObjectBase* found = nullptr;
    for (ControlObjectBase* control : model_->menu_bar_controls().Live()) {
      if (control->state().type == 10 && control->state().caption == caption) {
        found = control;
        if (!newest) return found;
      }
    }
    return found;
  }

  ControlObjectBase* Button(const std::wstring& popup_caption, const std::wstring& caption) {
    ControlObjectBase* popup = Popup(popup_caption, true);
    if (popup == nullptr) return nullptr;
    for (ControlObjectBase* control : popup->children()->Live()) {
      if (control->state().caption == caption) return control;
    }
    return nullptr;
  }

  int Popups(const std::wstring& caption) {
    int count = 0;
    for (ControlObjectBase* control : model_->menu_bar_controls().Live()) {
      if (control->state().type == 10 && control->state().caption == caption) ++count;
    }
    return count;
  }

  HWND main_window_;
  BoxWatcher watcher_;
  std::unique_ptr<ApplicationModel> model_;
  std::unique_ptr<ApplicationModel> other_host_;
  bool use_other_host_ = false;
  AddinHost addin_;
  HRESULT last_connect_ = S_OK;
  DWORD counting_since_ = GetTickCount();
};

void Runner::Step(const std::vector<std::wstring>& words) {
  const std::wstring& step = words[0];
  if (step == L"workbook") {
    Need(words, 2);
    LoadCells(words[1], model_->sheet());
    model_->sheet().workbook_full_name = words[1];
    InvalidateRect(main_window_, nullptr, TRUE);
  } else if (step == L"host") {
    Need(words, 2);
    use_other_host_ = words[1] == L"other";
    if (use_other_host_) other_host_ = std::make_unique<ApplicationModel>(main_window_, false);
  } else if (step == L"connect") {
    bool at_startup = words.size() < 2 || words[1] != L"after";
    std::wstring problem;
    IDispatch* application = use_other_host_ ? other_host_->application() : model_->application();
    last_connect_ = addin_.Connect(L"Pelorin.Connect", application, at_startup, problem);
    wchar_t code[16];
    wsprintfW(code, L"0x%08lX", static_cast<unsigned long>(last_connect_));
    Print(L"connect " + std::wstring(code) + (problem.empty() ? L"" : L" (" + problem + L")"));
    InvalidateRect(main_window_, nullptr, TRUE);
  } else if (step == L"expect-connect") {
    Need(words, 2);
    bool ok = SUCCEEDED(last_connect_);
    if ((words[1] == L"ok") != ok) Fail(L"the connection " + std::wstring(ok ? L"succeeded" : L"failed"));
  } else if (step == L"disconnect") {
    bool host = words.size() < 2 || words[1] != L"user";
    HRESULT result = addin_.Disconnect(host);
    if (FAILED(result)) Fail(L"OnDisconnection failed");
    InvalidateRect(main_window_, nullptr, TRUE);
  } else if (step == L"answer") {
    Need(words, 2);
    int button = words[1] == L"yes" ? IDYES : words[1] == L"no" ? IDNO : words[1] == L"ok" ? IDOK : 0;
    if (button == 0) Fail(L"answer yes, no or ok");
    watcher_.QueueAnswer(button);
  } else if (step == L"hold-next-box") {
    Need(words, 2);
    watcher_.HoldNext(static_cast<DWORD>(std::stod(words[1]) * 1000));
  } else if (step == L"click") {
    Need(words, 3);
    ControlObjectBase* button = Button(words[1], words[2]);
    if (button == nullptr) Fail(L"no button " + words[2] + L" on " + words[1]);
    if (!button->state().visible || !button->state().enabled) Fail(L"cannot click " + words[2] + L": not enabled and visible");
    if (button->FireClick() == 0) Fail(L"nobody listens to " + words[2]);
    PumpFor(50);
  } else if (step == L"expect-box") {
    Need(words, 2);
    PumpFor(50);
    SeenBox box;
    if (!watcher_.TakeBox(box)) Fail(L"no message box came; expected \"" + words[1] + L"\"");
    int style = words.size() > 2 ? std::stoi(words[2]) : 0;
    std::wstring title = words.size() > 3 ? words[3] : L"Pelorin";
    if (box.text != words[1]) Fail(L"message box said \"" + box.text + L"\", expected \"" + words[1] + L"\"");
    if (box.style != style) Fail(L"message box style " + std::to_wstring(box.style) + L", expected " + std::to_wstring(style));
    if (box.title != title) Fail(L"message box title \"" + box.title + L"\", expected \"" + title + L"\"");
    if (!box.owned_by_main_window) Fail(L"message box \"" + box.text + L"\" is not owned by Excel's window");
  } else if (step == L"expect-no-box") {
    PumpFor(50);
    SeenBox box;
    if (watcher_.TakeBox(box)) Fail(L"unexpected message box \"" + box.text + L"\"");
  } else if (step == L"expect-menu") {
    Need(words, 4);
    ControlObjectBase* button = Button(words[1], words[2]);
    std::wstring state = button == nullptr ? L"absent"
                         : !button->state().visible ? L"hidden"
                         : button->state().enabled ? L"enabled"
                                                   : L"disabled";
    if (state != words[3]) Fail(words[1] + L"/" + words[2] + L" is " + state + L", expected " + words[3]);
    if (button != nullptr && !button->state().temporary) Fail(words[2] + L" is not a temporary control");
    if (button != nullptr && button->state().tooltip != button->state().caption) Fail(words[2] + L" has another tooltip");
  } else if (step == L"expect-buttons") {
    Need(words, 3);
    ControlObjectBase* popup = Popup(words[1], true);
    int count = popup == nullptr ? -1 : static_cast<int>(popup->children()->Live().size());
    if (count != std::stoi(words[2])) Fail(words[1] + L" holds " + std::to_wstring(count) + L" buttons");
  } else if (step == L"expect-popups") {
    Need(words, 3);
    int count = Popups(words[1]);
    if (count != std::stoi(words[2])) Fail(L"the bar holds " + std::to_wstring(count) + L" popups " + words[1]);
  } else if (step == L"expect-window" || step == L"expect-no-window") {
    Need(words, 2);
    PumpFor(50);
    OwnedWindowSearch search{main_window_, words[1]};
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != (step == L"expect-window")) {
      Fail(L"window \"" + words[1] + (search.found ? L"\" is shown" : L"\" is not shown"));
    }
  } else if (step == L"set-setting") {
    Need(words, 4);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, GroupKey(words[1]), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    RegSetValueExW(key, words[2].c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(words[3].c_str()),
                   static_cast<DWORD>((words[3].size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  } else if (step == L"delete-setting") {
    Need(words, 3);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, GroupKey(words[1]), words[2].c_str());
  } else if (step == L"expect-setting") {
    Need(words, 4);
    wchar_t buffer[4096] = {};
    DWORD size = sizeof buffer;
    LONG result = RegGetValueW(HKEY_CURRENT_USER, GroupKey(words[1]), words[2].c_str(), RRF_RT_REG_SZ, nullptr,
                               buffer, &size);
    std::wstring value = result == ERROR_SUCCESS ? std::wstring(buffer) : L"absent";
    if (value != words[3]) Fail(words[2] + L" is \"" + value + L"\", expected \"" + words[3] + L"\"");
  } else if (step == L"expect-opened") {
    Need(words, 2);
    wchar_t log[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"PELORIN_OPEN_LOG", log, MAX_PATH) == 0) Fail(L"PELORIN_OPEN_LOG is not set");
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::ifstream file(log);
      std::string line;
      while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (Wide(line) == words[1]) return;
      }
      PumpFor(50);
    }
    Fail(L"the shell did not open " + words[1]);
  } else if (step == L"expect-released") {
    ULONG held = model_->ForeignReferences();
    if (held != 0) Fail(L"the add-in still holds " + std::to_wstring(held) + L" references to Application");
    if (addin_.AddinInstanceReferences() != 0) Fail(L"the add-in still holds its COMAddIn object");
  } else if (step == L"expect-can-unload") {
    Need(words, 2);
    HRESULT result = addin_.CanUnloadNow();
    if ((result == S_OK) != (words[1] == L"yes")) Fail(L"DllCanUnloadNow answered " + std::to_wstring(result));
  } else if (step == L"type" || step == L"press" || step == L"choose" || step == L"double-click" ||
             step == L"expect-text" || step == L"expect-items" || step == L"expect-rows" ||
             step == L"expect-state") {
    Need(words, step == L"press" || step == L"double-click" ? 3 : 4);
    PumpFor(20);
    HWND control = NamedControl(OwnedWindow(main_window_, words[1]), words[2]);
    if (step == L"type") {
      TypeInto(control, words[3]);
    } else if (step == L"press") {
      SendMessageW(control, BM_CLICK, 0, 0);
      PumpFor(50);
    } else if (step == L"choose") {
      wchar_t kind[32] = {};
      GetClassNameW(control, kind, 32);
      bool combo = lstrcmpiW(kind, L"ComboBox") == 0;
      LRESULT index = SendMessageW(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(words[3].c_str()));
      if (index < 0) Fail(L"no entry " + words[3] + L" in " + words[2]);
      SendMessageW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
      Notify(control, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
      PumpFor(20);
    } else if (step == L"double-click") {
      Notify(control, LBN_DBLCLK);
      PumpFor(20);
    } else if (step == L"expect-text") {
      std::wstring expected = WithLineBreaks(words[3]);
      if (TextOf(control) != expected) Fail(words[2] + L" shows \"" + TextOf(control) + L"\"");
    } else if (step == L"expect-items") {
      if (ItemsOf(control) != words[3]) Fail(words[2] + L" lists \"" + ItemsOf(control) + L"\"");
    } else if (step == L"expect-rows") {
      int rows = static_cast<int>(SendMessageW(control, LVM_GETITEMCOUNT, 0, 0));
      if (rows != std::stoi(words[3])) Fail(words[2] + L" holds " + std::to_wstring(rows) + L" rows");
    } else {
      std::wstring state = !IsWindowVisible(control)  ? L"hidden"
                           : !IsWindowEnabled(control) ? L"disabled"
                                                       : L"enabled";
      if (words[3] == L"checked" || words[3] == L"unchecked") {
        state = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"checked" : L"unchecked";
      }
      if (state != words[3]) Fail(words[2] + L" is " + state);
    }
  } else if (step == L"close-window") {
    Need(words, 2);
    SendMessageW(OwnedWindow(main_window_, words[1]), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpFor(50);
  } else if (step == L"reset-counters") {
    model_->sheet().counters() = SheetCounters{};
    counting_since_ = GetTickCount();
  } else if (step == L"expect-range-calls-at-most") {
    Need(words, 2);
    long calls = model_->sheet().counters().range_calls;
    if (calls > std::stol(words[1])) Fail(L"the add-in made " + std::to_wstring(calls) + L" Range calls");
  } else if (step == L"report-counters") {
    Need(words, 2);
    const SheetCounters& counters = model_->sheet().counters();
    Print(words[1] + L": range_calls=" + std::to_wstring(counters.range_calls) + L" value_calls=" +
          std::to_wstring(counters.value_calls) + L" cells_read=" + std::to_wstring(counters.cells_read) +
          L" milliseconds=" + std::to_wstring(GetTickCount() - counting_since_));
  } else if (step == L"wait-state") {
    Need(words, 5);
    DWORD limit = static_cast<DWORD>(std::stod(words[4]) * 1000);
    DWORD start = GetTickCount();
    for (;;) {
      PumpFor(50);
      HWND control = NamedControl(OwnedWindow(main_window_, words[1]), words[2]);
      std::wstring state = !IsWindowVisible(control) ? L"hidden" : !IsWindowEnabled(control) ? L"disabled" : L"enabled";
      if (state == words[3]) break;
      if (GetTickCount() - start > limit) Fail(words[2] + L" is still " + state);
    }
  } else if (step == L"pause") {
    Need(words, 2);
    PumpFor(static_cast<DWORD>(std::stod(words[1]) * 1000));
  } else {
    Fail(L"unknown step " + step);
  }
}

Runner* g_runner = nullptr;

void PaintMainWindow(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  RECT bar{0, 0, client.right, 24};
  FillRect(dc, &bar, reinterpret_cast<HBRUSH>(COLOR_MENU + 1));
  SetBkMode(dc, TRANSPARENT);
  std::wstring menu = L"File   Edit   View   Insert   Format   Tools   Data   Window   Help";
  if (g_runner != nullptr) {
    try {
      for (ControlObjectBase* control : g_runner->model().menu_bar_controls().Live()) {
        menu += L"   " + control->state().caption;
      }
    } catch (const std::exception&) {
    }
  }
  TextOutW(dc, 8, 4, menu.c_str(), static_cast<int>(menu.size()));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(208, 208, 208));
  HGDIOBJ old = SelectObject(dc, pen);
  for (int y = 48; y < client.bottom; y += 20) {
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, client.right, y);
  }
  for (int x = 40; x < client.right; x += 100) {
    MoveToEx(dc, x, 28, nullptr);
    LineTo(dc, x, client.bottom);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
  for (int c = 0; c < 8; ++c) {
    wchar_t letter[2] = {static_cast<wchar_t>(L'A' + c), 0};
    TextOutW(dc, 40 + c * 100 + 45, 30, letter, 1);
  }
  if (g_runner != nullptr) {
    for (int r = 1; r * 20 + 48 < client.bottom && r < 30; ++r) {
      std::wstring number = std::to_wstring(r);
      TextOutW(dc, 8, 30 + r * 20, number.c_str(), static_cast<int>(number.size()));
      for (int c = 1; c <= 8; ++c) {
        const Cell* cell = g_runner->model().sheet().Find(r, c);
        if (cell == nullptr) continue;
        std::wstring text = cell->type == VT_BSTR ? cell->text : std::to_wstring(cell->number);
        TextOutW(dc, 40 + (c - 1) * 100 + 4, 30 + r * 20, text.c_str(), static_cast<int>(text.size()));
      }
    }
  }
  EndPaint(window, &paint);
}

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) {
    PaintMainWindow(window);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND CreateMainWindow() {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = MainWindowProcedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kMainClass;
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(0, kMainClass, L"Microsoft Excel - Book1", WS_OVERLAPPEDWINDOW, 0, 0, 900, 620,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  return window;
}

int Run(const std::wstring& script_path) {
  std::ifstream file(script_path.c_str(), std::ios::binary);
  if (!file) {
    Print(L"cannot read the script " + script_path);
    return 2;
  }
  HWND window = CreateMainWindow();
  SetNoteListener([](const std::wstring& line) { Print(L"  " + line); });
  int line_number = 0;
  std::string line;
  int status = 0;
  {
    Runner runner(window);
    g_runner = &runner;
    try {
      while (std::getline(file, line)) {
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::wstring> words = Split(Wide(line));
        if (words.empty()) continue;
        Print(L"> " + Wide(line));
        runner.Step(words);
        PumpFor(10);
      }
      runner.Finish();
      Print(L"PASSED");
    } catch (const std::exception& error) {
      Print(L"FAILED at line " + std::to_wstring(line_number) + L": " + Wide(error.what()));
      status = 1;
    }
    g_runner = nullptr;
    SetNoteListener(nullptr);
  }
  DestroyWindow(window);
  return status;
}

}  // namespace
}  // namespace standin

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    fputs("usage: excel-standin.exe SCRIPT\n", stderr);
    return 2;
  }
  OleInitialize(nullptr);
  int status = standin::Run(argv[1]);
  OleUninitialize();
  return status;
}
