// Keys as the toolkit reports them, in the codes the form models' key
// handlers expect: virtual-key codes for key down and up, character codes
// for key press, and the 1/2/4 shift mask.
#pragma once

#include <com/sun/star/awt/KeyEvent.hpp>

#include "core/forms/control.h"

namespace pelorin::calc {

// The key-down/up code; 0 for keys no handler knows.
forms::KeyCode KeyDownCode(const css::awt::KeyEvent& event);
// The character a key press delivers, as a dialog's text box would get it;
// 0 when the key types no character (arrows, Delete, Tab).
forms::KeyCode KeyPressCode(const css::awt::KeyEvent& event);
int ShiftMask(const css::awt::KeyEvent& event);

}  // namespace pelorin::calc
