#include "core/addin/global.h"

#include "core/addin/addin_context.h"
#include "core/addin/open_forms.h"
#include "core/dialogs/packet_size_form.h"
#include "core/dialogs/proxy_form.h"
#include "core/login/login_form.h"
#include "core/messaging/send_form.h"

namespace pelorin {
namespace {

using forms::KeyCode;

constexpr KeyCode kBackspace = 8;

bool IsDigitKey(KeyCode key) { return key >= '0' && key <= '9'; }
bool IsLetterKey(KeyCode key) { return (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z'); }

KeyCode AcceptWhen(bool accepted, KeyCode key) { return accepted ? key : 0; }

// The numeric test of one character: its digit value, or a type mismatch.
int DigitValue(const std::string& text) {
  if (text.empty()) throw TypeMismatchError("strValidLeadingZero: the text is empty");
  char first = text.front();
  if (first < '0' || first > '9') {
    throw TypeMismatchError("strValidLeadingZero: \"" + text + "\" does not start with a digit");
  }
  return first - '0';
}

}  // namespace

CGlobal::CGlobal(AddinContext& context, OpenForms& open_forms)
    : context_(context), open_forms_(open_forms) {}

CGlobal::~CGlobal() = default;

template <typename Dialog>
Dialog& CGlobal::Held(std::shared_ptr<Dialog>& field) {
  if (!field) field = std::make_shared<Dialog>(context_);
  return *field;
}

template <typename Dialog>
void CGlobal::Show(std::shared_ptr<Dialog>& field) {
  try {
    Held(field);
    open_forms_.Keep(field);
    field->Show();
  } catch (...) {
  }
}

template <typename Dialog>
void CGlobal::Hide(std::shared_ptr<Dialog>& field) {
  try {
    Held(field).Hide();
  } catch (...) {
  }
}

void CGlobal::LoginShow() { Show(login_); }
void CGlobal::LoginHide() { Hide(login_); }
void CGlobal::ProxyShow() { Show(proxy_); }
void CGlobal::ProxyHide() { Hide(proxy_); }
void CGlobal::SendSMSShow() { Show(send_); }
void CGlobal::SendSMSHide() { Hide(send_); }

void CGlobal::PacketSizeShow() {
  std::shared_ptr<frmPacketSize> fresh;
  Show(fresh);
}

// Hides only the dialog it makes itself, never one PacketSizeShow opened.
void CGlobal::PacketSizeHide() {
  std::shared_ptr<frmPacketSize> fresh;
  Hide(fresh);
}

std::string CGlobal::strValidLeadingZero(std::string& strData) {
  if (DigitValue(strData) != 0) return strData;
  const std::size_t length = strData.size();
  for (std::size_t i = 0; i < length; ++i) {
    if (DigitValue(strData) == 0) strData.erase(0, 1);
  }
  return strData;
}

KeyCode CGlobal::intAllowOnlyDigit(KeyCode& intAscii) {
  return AcceptWhen(IsDigitKey(intAscii) || intAscii == kBackspace, intAscii);
}

KeyCode CGlobal::intAllowOnlyDigitAndDecimal(KeyCode& intAscii) {
  return AcceptWhen(IsDigitKey(intAscii) || intAscii == '.' || intAscii == kBackspace, intAscii);
}

KeyCode CGlobal::intAllowOnlyDigitAndDecimalV1(std::string& strData, KeyCode& intAscii) {
  if (strData.empty() || strData.find('.') != std::string::npos) return intAllowOnlyDigit(intAscii);
  return intAscii;
}

KeyCode CGlobal::intAllowOnlyAlphabets(KeyCode& intAscii) {
  return AcceptWhen(IsLetterKey(intAscii) || intAscii == kBackspace, intAscii);
}

}  // namespace pelorin
