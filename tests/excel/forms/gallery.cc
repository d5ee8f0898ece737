#include "tests/excel/forms/gallery.h"

#include <windows.h>

namespace pelorin::gallery {
namespace {

constexpr const char* kComposeSuccess = "Error : 0 - SUCCESS.";

std::string PageOf(const std::string& url) {
  std::size_t end = url.find(".aspx");
  std::size_t start = url.rfind('/', end);
  if (end == std::string::npos || start == std::string::npos) return url;
  return url.substr(start + 1, end - start - 1);
}

}  // namespace

int GalleryUserInterface::MessageBox(std::string_view text, int style, std::string_view) {
  messages.emplace_back(text);
  return (style & message_box::kYesNo) ? message_box::kAnswerYes : message_box::kAnswerOk;
}

Gallery::Gallery() {
  settings.SaveLoginDetails("demo");
  settings.SaveDNDStatus("3");
  clock.SetTime(10, 30);
  transport.responder = [this](const HttpRequest& request) { return Answer(request); };
  FillSheet(120);
}

Gallery::~Gallery() {
  for (forms::Form* form : std::initializer_list<forms::Form*>{send.get(), login.get(), proxy.get(), packet.get()}) {
    if (form != nullptr) form->Unload();
  }
}

std::string Gallery::Answer(const HttpRequest& request) {
  std::string page = PageOf(request.url);
  if (page == "UserValidation") {
    if (request.url.find("type=loading") != std::string::npos) return update_reply;
    return "0@#$&Welcome back@#$&3";
  }
  if (page == "GetSenderID") return "3$PELRIN,ALERTS,OFFERS";
  if (page == "GetCreditDetails") return "500";
  if (page == "Compose") return kComposeSuccess;
  return "ERROR";
}

std::vector<std::string> Gallery::Pages() const {
  std::vector<std::string> pages;
  for (const HttpRequest& request : transport.requests) pages.push_back(PageOf(request.url));
  return pages;
}

void Gallery::FillSheet(int rows) {
  auto& sheet = application.sheet;
  sheet.Set("A", 1, "Name");
  sheet.Set("B", 1, "Mobile");
  sheet.Set("C", 1, "Order");
  for (int row = 2; row <= rows + 1; ++row) {
    sheet.Set("A", row, row % 7 == 0 ? "\xE0\xA4\xB0\xE0\xA4\xBE\xE0\xA4\xAE" : "Customer " + std::to_string(row));
    sheet.Set("B", row, "9198765" + std::to_string(43210 + row));
    sheet.Set("C", row, "ORD-" + std::to_string(1000 + row));
  }
}

std::vector<std::string_view> Gallery::Scenes() {
  return {"login", "login-notice", "send", "send-later", "status", "preview", "proxy", "packet"};
}

bool Gallery::Open(std::string_view scene) {
  if (scene == "login" || scene == "login-notice") {
    if (scene == "login-notice") update_reply = "MAJOR@#$&http://www.pelorin.example/download";
    login = std::make_unique<frmLogin>(context);
    login->Show();
    if (scene == "login-notice") login->ShowErrorLabels();
    login->Repaint();
    return true;
  }
  if (scene == "send" || scene == "send-later" || scene == "status" || scene == "preview") {
    send = std::make_unique<frmSendSMS>(context);
    send->Show();
    if (scene == "send") return true;
    if (scene == "send-later") {
      send->Click("chkSendLater");
      send->Repaint();
      return true;
    }
    send->SetText("txtMessage", "Dear |A|, your order |C| is ready");
    send->SelectItem("ddlMCol", 1);
    send->SetText("txtStartRow", "2");
    send->SetText("txtEndRow", scene == "status" ? "71" : "121");
    send->Click(scene == "status" ? "btnSend" : "btnPreview");
    return true;
  }
  if (scene == "proxy") {
    proxy = std::make_unique<frmProxySettings>(context);
    proxy->Show();
    return true;
  }
  if (scene == "packet") {
    packet = std::make_unique<frmPacketSize>(context);
    packet->Show();
    return true;
  }
  return false;
}

namespace {

BOOL CALLBACK NoteVisible(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window)) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpW(name, L"#32770") == 0) *reinterpret_cast<bool*>(found) = true;
  }
  return TRUE;
}

bool AnyDialogVisible() {
  bool found = false;
  EnumThreadWindows(GetCurrentThreadId(), NoteVisible, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

void RunUntilClosed(Gallery& gallery, unsigned milliseconds) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds && AnyDialogVisible()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    gallery.presenter.PumpMessages();
  }
}

}  // namespace pelorin::gallery
