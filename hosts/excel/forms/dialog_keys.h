// Tab, Enter and Esc for modeless dialogs inside a message loop someone else
// runs (Excel's): a message hook on this thread offers each keyboard message
// to the dialog it is meant for, as a dialog's own loop would.
#pragma once

#include <windows.h>

namespace pelorin::excel {

// The hook is installed with the first dialog and removed with the last.
void RegisterDialogKeys(HWND dialog);
void UnregisterDialogKeys(HWND dialog);

}  // namespace pelorin::excel
