#include "hosts/excel/com_object.h"

#include "hosts/excel/com_ptr.h"

namespace pelorin::excel {

HRESULT Fail(HRESULT code, const wchar_t* description) {
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.out()))) {
    create->SetDescription(const_cast<LPOLESTR>(description));
    create->SetSource(const_cast<LPOLESTR>(L"Pelorin"));
    auto info = create.As<IErrorInfo>(IID_IErrorInfo);
    if (info) SetErrorInfo(0, info.get());
  }
  return code;
}

}  // namespace pelorin::excel
