#include "hosts/excel/excel_user_interface.h"

#include "platform/win32/wide_text.h"

namespace pelorin::excel {

ExcelUserInterface::~ExcelUserInterface() = default;

FormPresenter& ExcelUserInterface::Presenter() {
  if (!presenter_) presenter_ = MakeFormPresenter(owner_);
  return *presenter_;
}

int ExcelUserInterface::MessageBox(std::string_view text, int style, std::string_view title) {
  std::wstring wide_text = win32::Utf8ToWide(text);
  std::wstring wide_title = win32::Utf8ToWide(title);
  // The box must not come up behind Excel, nor let the cursor stay busy.
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  Presenter().EnableForms(false);
  int answer = ::MessageBoxW(owner_, wide_text.c_str(), wide_title.c_str(),
                           static_cast<UINT>(style) | MB_SETFOREGROUND);
  Presenter().EnableForms(true);
  return answer;
}

void ExcelUserInterface::SetBusyCursor(bool busy) {
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

}  // namespace pelorin::excel
