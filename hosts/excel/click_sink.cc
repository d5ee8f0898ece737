#include "hosts/excel/click_sink.h"

#include "hosts/excel/dll_module.h"
#include "hosts/excel/office_ids.h"

namespace pelorin::excel {

ClickSink::ClickSink() { ModuleObjectCreated(); }
ClickSink::~ClickSink() { ModuleObjectDestroyed(); }

ClickSink* ClickSink::Create() { return new ClickSink(); }

HRESULT ClickSink::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, kDiidCommandBarButtonEvents)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG ClickSink::AddRef() { return ++references_; }

ULONG ClickSink::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT ClickSink::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ClickSink::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT ClickSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT ClickSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                          EXCEPINFO*, UINT*) {
  if (id != kDispidClick) return DISP_E_MEMBERNOTFOUND;
  if ((flags & DISPATCH_METHOD) == 0) return DISP_E_MEMBERNOTFOUND;
  if (parameters == nullptr || parameters->cArgs != 2) return DISP_E_BADPARAMCOUNT;
  if (result != nullptr) VariantInit(result);
  // The handler may end the connection; keep this object alive meanwhile.
  AddRef();
  std::function<void()> handler = handler_;
  try {
    if (handler) handler();
  } catch (...) {
  }
  Release();
  return S_OK;
}

}  // namespace pelorin::excel
