#include "tests/excel/standin/box_watcher.h"

#include <algorithm>

namespace standin {
namespace {

struct BoxParts {
  std::wstring text;
  HICON icon = nullptr;
  std::vector<int> buttons;
};

BOOL CALLBACK CollectPart(HWND child, LPARAM context) {
  auto* parts = reinterpret_cast<BoxParts*>(context);
  wchar_t class_name[64] = {};
  GetClassNameW(child, class_name, 64);
  LONG style = GetWindowLongW(child, GWL_STYLE);
  if (lstrcmpiW(class_name, L"Static") == 0) {
    if ((style & SS_TYPEMASK) == SS_ICON) {
      parts->icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    } else {
      int length = GetWindowTextLengthW(child);
      std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
      GetWindowTextW(child, text.data(), length + 1);
      text.resize(static_cast<std::size_t>(length));
      if (text.size() > parts->text.size()) parts->text = text;
    }
  } else if (lstrcmpiW(class_name, L"Button") == 0 && IsWindowVisible(child)) {
    parts->buttons.push_back(GetDlgCtrlID(child));
  }
  return TRUE;
}

int IconStyle(HICON icon) {
  if (icon == nullptr) return 0;
  if (icon == LoadIconW(nullptr, IDI_HAND)) return MB_ICONHAND;
  if (icon == LoadIconW(nullptr, IDI_QUESTION)) return MB_ICONQUESTION;
  if (icon == LoadIconW(nullptr, IDI_EXCLAMATION)) return MB_ICONEXCLAMATION;
  if (icon == LoadIconW(nullptr, IDI_ASTERISK)) return MB_ICONASTERISK;
  return 0;
}

int ButtonStyle(const std::vector<int>& buttons) {
  auto has = [&](int id) { return std::find(buttons.begin(), buttons.end(), id) != buttons.end(); };
  if (has(IDYES) && has(IDNO)) return has(IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
  if (has(IDOK) && has(IDCANCEL)) return MB_OKCANCEL;
  return MB_OK;
}

struct Search {
  std::vector<HWND> boxes;
};

BOOL CALLBACK FindBoxes(HWND window, LPARAM context) {
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  // A message box's text is the static with id 0xFFFF; other dialogs (the
  // add-in's own windows) are not boxes.
  if (lstrcmpW(class_name, L"#32770") == 0 && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF) != nullptr) {
    reinterpret_cast<Search*>(context)->boxes.push_back(window);
  }
  return TRUE;
}

}  // namespace

BoxWatcher::BoxWatcher(DWORD ui_thread, HWND main_window)
    : ui_thread_(ui_thread), main_window_(main_window), thread_([this] { Run(); }) {}

BoxWatcher::~BoxWatcher() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  thread_.join();
}

void BoxWatcher::QueueAnswer(int button) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.push_back(button);
}

void BoxWatcher::HoldNext(DWORD milliseconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  hold_ = milliseconds;
}

bool BoxWatcher::TakeBox(SeenBox& box) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (boxes_.empty()) return false;
  box = boxes_.front();
  boxes_.pop_front();
  return true;
}

std::size_t BoxWatcher::pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_.size();
}

std::size_t BoxWatcher::unexpected() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return unexpected_;
}

void BoxWatcher::Run() {
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
    }
    Search search;
    EnumThreadWindows(ui_thread_, FindBoxes, reinterpret_cast<LPARAM>(&search));
    for (HWND box : search.boxes) {
      bool seen = false;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen = std::find(handled_.begin(), handled_.end(), box) != handled_.end();
      }
      if (!seen) Handle(box);
    }
    Sleep(20);
  }
}

void BoxWatcher::Handle(HWND window) {
  // Let the box finish laying itself out.
  Sleep(50);
  BoxParts parts;
  EnumChildWindows(window, CollectPart, reinterpret_cast<LPARAM>(&parts));
  SeenBox box;
  int length = GetWindowTextLengthW(window);
  box.title.assign(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, box.title.data(), length + 1);
  box.title.resize(static_cast<std::size_t>(length));
  box.text = parts.text;
  box.style = ButtonStyle(parts.buttons) | IconStyle(parts.icon);
  box.owned_by_main_window = GetWindow(window, GW_OWNER) == main_window_;

  int answer = 0;
  DWORD hold = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    handled_.push_back(window);
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    } else {
      ++unexpected_;
      answer = (box.style & 0xF) == MB_OK ? IDOK : IDNO;
    }
    hold = hold_;
    hold_ = 0;
  }
  if (hold > 0) Sleep(hold);
  box.answered = answer;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    boxes_.push_back(box);
  }
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, answer)));
}

}  // namespace standin
