// Reference counting and IDispatch from the type library for the add-in's
// COM classes; each counts towards DllCanUnloadNow while it lives.
#pragma once

#include <oaidl.h>

#include <atomic>

#include "hosts/excel/dll_module.h"

namespace pelorin::excel {

// `Interface` is a dual interface of the embedded type library whose
// methods the derived class implements; IDispatch calls reach them through
// the library's description of it.
template <typename Interface>
class DualObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, interface_id_)) {
      *object = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = type_info_ != nullptr ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (index != 0 || type_info_ == nullptr) return DISP_E_BADINDEX;
    type_info_->AddRef();
    *info = type_info_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (type_info_ == nullptr) return E_UNEXPECTED;
    return DispGetIDsOfNames(type_info_, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* bad_argument) override {
    if (type_info_ == nullptr) return E_UNEXPECTED;
    return DispInvoke(static_cast<Interface*>(this), type_info_, id, flags, parameters, result, exception,
                      bad_argument);
  }

 protected:
  explicit DualObject(REFIID interface_id) : interface_id_(interface_id) {
    ModuleObjectCreated();
    type_info_ = ModuleTypeInfo(interface_id);
  }
  virtual ~DualObject() {
    if (type_info_ != nullptr) type_info_->Release();
    ModuleObjectDestroyed();
  }

 private:
  std::atomic<ULONG> references_{1};
  IID interface_id_;
  ITypeInfo* type_info_ = nullptr;
};

// Fails an automation call with a description the caller can show.
HRESULT Fail(HRESULT code, const wchar_t* description);

}  // namespace pelorin::excel
