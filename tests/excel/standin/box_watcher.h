// Watches for the message boxes the add-in raises on Excel's thread, notes
// what each says and answers it as the script asked.
#pragma once

#include <windows.h>

#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace standin {

struct SeenBox {
  std::wstring title;
  std::wstring text;
  int style = 0;  // buttons + icon, as the message-box codes add up
  bool owned_by_main_window = false;
  int answered = 0;  // the button id pressed
};

class BoxWatcher {
 public:
  BoxWatcher(DWORD ui_thread, HWND main_window);
  ~BoxWatcher();
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;

  // The answer (IDOK, IDYES, IDNO) for the next box; a box with no answer
  // queued is answered with its safest button and counts as unexpected.
  void QueueAnswer(int button);
  // The next box stays up this long before it is answered (screenshots).
  void HoldNext(DWORD milliseconds);
  // The oldest box not yet taken; false when there is none.
  bool TakeBox(SeenBox& box);
  std::size_t pending() const;
  std::size_t unexpected() const;

 private:
  void Run();
  void Handle(HWND box);

  DWORD ui_thread_;
  HWND main_window_;
  mutable std::mutex mutex_;
  std::deque<int> answers_;
  std::deque<SeenBox> boxes_;
  std::vector<HWND> handled_;
  DWORD hold_ = 0;
  std::size_t unexpected_ = 0;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace standin
