// CGlobal: opens and hides the add-in's dialogs for the menu commands, and
// offers the keystroke filters and the leading-zero check to automation clients.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "core/forms/control.h"

namespace pelorin {

struct AddinContext;
class OpenForms;
class frmLogin;
class frmProxySettings;
class frmSendSMS;

// What strValidLeadingZero throws when the text does not start with a digit.
class TypeMismatchError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class CGlobal {
 public:
  // Every dialog this object shows is also handed to `open_forms`, which keeps
  // it on screen after this object goes.
  CGlobal(AddinContext& context, OpenForms& open_forms);
  ~CGlobal();
  CGlobal(const CGlobal&) = delete;
  CGlobal& operator=(const CGlobal&) = delete;

  // The login, proxy and send dialogs are created on first use and kept for
  // this object's life; every error is swallowed.
  void LoginShow();
  void LoginHide();
  void ProxyShow();
  void ProxyHide();
  // A new packet-size dialog on every call, kept by nobody here.
  void PacketSizeShow();
  void PacketSizeHide();
  void SendSMSShow();
  void SendSMSHide();

  // Drops leading zeros from the caller's text and answers it: "0012" gives
  // "12", "000" the empty text. Throws TypeMismatchError when the text is
  // empty or a character it tests is not a digit; the zeros dropped until
  // then stay dropped ("0a" leaves "a").
  static std::string strValidLeadingZero(std::string& strData);

  // Key filters: the code when accepted, 0 when refused; `intAscii` is never
  // changed. 8 (backspace) is always accepted.
  static forms::KeyCode intAllowOnlyDigit(forms::KeyCode& intAscii);
  static forms::KeyCode intAllowOnlyDigitAndDecimal(forms::KeyCode& intAscii);
  // Digits only while `strData` is empty or already holds a "."; any key otherwise.
  static forms::KeyCode intAllowOnlyDigitAndDecimalV1(std::string& strData, forms::KeyCode& intAscii);
  static forms::KeyCode intAllowOnlyAlphabets(forms::KeyCode& intAscii);

  // The dialogs held, null until first use.
  frmLogin* login_dialog() const { return login_.get(); }
  frmProxySettings* proxy_dialog() const { return proxy_.get(); }
  frmSendSMS* send_dialog() const { return send_.get(); }

 private:
  template <typename Dialog>
  Dialog& Held(std::shared_ptr<Dialog>& field);
  template <typename Dialog>
  void Show(std::shared_ptr<Dialog>& field);
  template <typename Dialog>
  void Hide(std::shared_ptr<Dialog>& field);

  AddinContext& context_;
  OpenForms& open_forms_;
  std::shared_ptr<frmLogin> login_;
  std::shared_ptr<frmSendSMS> send_;
  std::shared_ptr<frmProxySettings> proxy_;
};

}  // namespace pelorin
