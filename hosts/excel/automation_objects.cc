#include "hosts/excel/automation_objects.h"

#include <memory>
#include <new>
#include <stdexcept>

#include "core/addin/excel_functions.h"
#include "core/addin/global.h"
#include "core/addin/open_forms.h"
#include "hosts/excel/Pelorin_h.h"
#include "hosts/excel/addin_runtime.h"
#include "hosts/excel/com_object.h"
#include "hosts/excel/variant.h"
#include "platform/win32/wide_text.h"

namespace pelorin::excel {
namespace {

// Replaces the caller's text, as a by-reference argument is changed.
HRESULT ToBstr(const std::string& text, BSTR* target) {
  std::wstring wide = win32::Utf8ToWide(text);
  BSTR replaced = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (replaced == nullptr) return E_OUTOFMEMORY;
  SysFreeString(*target);
  *target = replaced;
  return S_OK;
}

template <typename Interface, typename Created>
HRESULT CreateObject(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  auto* created = new (std::nothrow) Created();
  if (created == nullptr) return E_OUTOFMEMORY;
  HRESULT result = created->QueryInterface(iid, object);
  created->Release();
  return result;
}

class GlobalObject : public DualObject<_CGlobal> {
 public:
  GlobalObject() : DualObject(IID__CGlobal) {}

  HRESULT STDMETHODCALLTYPE LoginShow() override { return Run(&CGlobal::LoginShow); }
  HRESULT STDMETHODCALLTYPE LoginHide() override { return Run(&CGlobal::LoginHide); }
  HRESULT STDMETHODCALLTYPE ProxyShow() override { return Run(&CGlobal::ProxyShow); }
  HRESULT STDMETHODCALLTYPE ProxyHide() override { return Run(&CGlobal::ProxyHide); }
  HRESULT STDMETHODCALLTYPE PacketSizeShow() override { return Run(&CGlobal::PacketSizeShow); }
  HRESULT STDMETHODCALLTYPE PacketSizeHide() override { return Run(&CGlobal::PacketSizeHide); }
  HRESULT STDMETHODCALLTYPE SendSMSShow() override { return Run(&CGlobal::SendSMSShow); }
  HRESULT STDMETHODCALLTYPE SendSMSHide() override { return Run(&CGlobal::SendSMSHide); }

  HRESULT STDMETHODCALLTYPE strValidLeadingZero(BSTR* strData, BSTR* result) override {
    if (strData == nullptr || result == nullptr) return E_POINTER;
    std::string text = Utf8OfBstr(*strData);
    std::string answer;
    HRESULT outcome = S_OK;
    try {
      answer = CGlobal::strValidLeadingZero(text);
    } catch (const TypeMismatchError& error) {
      outcome = Fail(DISP_E_TYPEMISMATCH, win32::Utf8ToWide(error.what()).c_str());
    }
    // The zeros dropped before a failure stay dropped in the caller's text.
    HRESULT written = ToBstr(text, strData);
    if (FAILED(outcome)) return outcome;
    if (FAILED(written)) return written;
    *result = nullptr;
    return ToBstr(answer, result);
  }
  HRESULT STDMETHODCALLTYPE intAllowOnlyDigit(short* key, short* result) override {
    return Filter(key, result, &CGlobal::intAllowOnlyDigit);
  }
  HRESULT STDMETHODCALLTYPE intAllowOnlyDigitAndDecimal(short* key, short* result) override {
    return Filter(key, result, &CGlobal::intAllowOnlyDigitAndDecimal);
  }
  HRESULT STDMETHODCALLTYPE intAllowOnlyDigitAndDecimalV1(BSTR* strData, short* key, short* result) override {
    if (strData == nullptr || key == nullptr || result == nullptr) return E_POINTER;
    std::string text = Utf8OfBstr(*strData);
    forms::KeyCode code = *key;
    *result = CGlobal::intAllowOnlyDigitAndDecimalV1(text, code);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE intAllowOnlyAlphabets(short* key, short* result) override {
    return Filter(key, result, &CGlobal::intAllowOnlyAlphabets);
  }

 private:
  ~GlobalObject() override {
    global_.reset();
    forms_.reset();
  }

  // The dialogs need the platform's services; made on first use, so the
  // filters work without them.
  CGlobal& Global() {
    if (!global_) {
      runtime_ = std::make_unique<AddinRuntime>();
      forms_ = std::make_unique<OpenForms>();
      global_ = std::make_unique<CGlobal>(runtime_->context(), *forms_);
    }
    return *global_;
  }

  // The show and hide operations swallow their own errors.
  HRESULT Run(void (CGlobal::*operation)()) {
    try {
      (Global().*operation)();
    } catch (...) {
    }
    return S_OK;
  }

  static HRESULT Filter(short* key, short* result, forms::KeyCode (*filter)(forms::KeyCode&)) {
    if (key == nullptr || result == nullptr) return E_POINTER;
    forms::KeyCode code = *key;
    *result = filter(code);
    return S_OK;
  }

  std::unique_ptr<AddinRuntime> runtime_;
  std::unique_ptr<OpenForms> forms_;
  std::unique_ptr<CGlobal> global_;
};

class FunctionsObject : public DualObject<_ExcelFunctions> {
 public:
  FunctionsObject() : DualObject(IID__ExcelFunctions) {}

  HRESULT STDMETHODCALLTYPE DoubleIt(double* D, double* result) override {
    if (D == nullptr || result == nullptr) return E_POINTER;
    try {
      *result = ExcelFunctions::DoubleIt(*D);
      return S_OK;
    } catch (const std::overflow_error& error) {
      return Fail(DISP_E_OVERFLOW, win32::Utf8ToWide(error.what()).c_str());
    }
  }
};

}  // namespace

HRESULT CreateGlobalObject(REFIID iid, void** object) { return CreateObject<_CGlobal, GlobalObject>(iid, object); }

HRESULT CreateFunctionsObject(REFIID iid, void** object) {
  return CreateObject<_ExcelFunctions, FunctionsObject>(iid, object);
}

}  // namespace pelorin::excel
