// The key test of the settings dialogs' number boxes: digits and Backspace
// get through, any other key is discarded.
#pragma once

#include "core/forms/control.h"

namespace pelorin::dialogs {

inline bool IsDigitOrBackspace(forms::KeyCode key) {
  return (key >= '0' && key <= '9') || key == 8;
}

// Sets a refused key to 0, as a key handler refuses it.
inline void AllowOnlyDigitKey(forms::KeyCode& key) {
  if (!IsDigitOrBackspace(key)) key = 0;
}

}  // namespace pelorin::dialogs
