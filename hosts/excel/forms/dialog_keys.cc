#include "hosts/excel/forms/dialog_keys.h"

#include <algorithm>
#include <vector>

namespace pelorin::excel {
namespace {

// One set per thread: windows belong to the thread that made them.
thread_local std::vector<HWND> dialogs;
thread_local HHOOK hook = nullptr;

bool MenuIsOpen() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE) != 0;
}

LRESULT CALLBACK OfferToDialogs(int code, WPARAM removal, LPARAM message_pointer) {
  auto* message = reinterpret_cast<MSG*>(message_pointer);
  if (code == HC_ACTION && removal == PM_REMOVE && message->message >= WM_KEYFIRST &&
      message->message <= WM_KEYLAST && !MenuIsOpen()) {
    // A copy: IsDialogMessage may dispatch, and a handler may unregister.
    std::vector<HWND> candidates = dialogs;
    for (HWND dialog : candidates) {
      if (!IsWindow(dialog)) continue;
      if (dialog != message->hwnd && !IsChild(dialog, message->hwnd)) continue;
      if (IsDialogMessageW(dialog, message)) {
        message->message = WM_NULL;
        message->wParam = 0;
        message->lParam = 0;
      }
      break;
    }
  }
  return CallNextHookEx(hook, code, removal, message_pointer);
}

}  // namespace

void RegisterDialogKeys(HWND dialog) {
  if (std::find(dialogs.begin(), dialogs.end(), dialog) != dialogs.end()) return;
  dialogs.push_back(dialog);
  if (hook == nullptr) hook = SetWindowsHookExW(WH_GETMESSAGE, OfferToDialogs, nullptr, GetCurrentThreadId());
}

void UnregisterDialogKeys(HWND dialog) {
  std::erase(dialogs, dialog);
  if (dialogs.empty() && hook != nullptr) {
    UnhookWindowsHookEx(hook);
    hook = nullptr;
  }
}

}  // namespace pelorin::excel
