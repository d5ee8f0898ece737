#include "hosts/calc/uno/key_codes.h"

#include <com/sun/star/awt/Key.hpp>
#include <com/sun/star/awt/KeyModifier.hpp>

namespace pelorin::calc {

namespace Key = css::awt::Key;

forms::KeyCode KeyDownCode(const css::awt::KeyEvent& event) {
  const sal_Int16 code = event.KeyCode;
  if (code >= Key::NUM0 && code <= Key::NUM9) return static_cast<forms::KeyCode>('0' + code - Key::NUM0);
  if (code >= Key::A && code <= Key::Z) return static_cast<forms::KeyCode>('A' + code - Key::A);
  switch (code) {
    case Key::BACKSPACE: return 8;
    case Key::TAB: return 9;
    case Key::RETURN: return 13;
    case Key::ESCAPE: return 27;
    case Key::SPACE: return 32;
    case Key::PAGEUP: return 33;
    case Key::PAGEDOWN: return 34;
    case Key::END: return 35;
    case Key::HOME: return 36;
    case Key::LEFT: return 37;
    case Key::UP: return 38;
    case Key::RIGHT: return 39;
    case Key::DOWN: return 40;
    case Key::INSERT: return 45;
    case Key::DELETE: return 46;
    default: return 0;
  }
}

forms::KeyCode KeyPressCode(const css::awt::KeyEvent& event) {
  const sal_Int16 code = event.KeyCode;
  if (code == Key::TAB || code == Key::DELETE || code == Key::INSERT) return 0;
  if (code == Key::BACKSPACE) return 8;
  if (code == Key::RETURN) return 13;
  if (code == Key::ESCAPE) return 27;
  sal_Unicode c = event.KeyChar;
  if ((event.Modifiers & css::awt::KeyModifier::MOD1) != 0 && code >= Key::A && code <= Key::Z) {
    return static_cast<forms::KeyCode>(code - Key::A + 1);  // Ctrl+A is 1, as a text box gets it
  }
  if (c < 32 || c == 127) return 0;
  return static_cast<forms::KeyCode>(c <= 0x7FFF ? c : 0x7FFF);
}

int ShiftMask(const css::awt::KeyEvent& event) {
  int mask = 0;
  if (event.Modifiers & css::awt::KeyModifier::SHIFT) mask |= 1;
  if (event.Modifiers & css::awt::KeyModifier::MOD1) mask |= 2;
  if (event.Modifiers & css::awt::KeyModifier::MOD2) mask |= 4;
  return mask;
}

}  // namespace pelorin::calc
