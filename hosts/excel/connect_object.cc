#include "hosts/excel/connect_object.h"

#include <exception>
#include <new>

#include "hosts/excel/Pelorin_h.h"
#include "hosts/excel/com_object.h"
#include "hosts/excel/dll_module.h"
#include "hosts/excel/late_bound.h"
#include "platform/win32/wide_text.h"

namespace pelorin::excel {
namespace {

// Nothing thrown crosses into Excel: a failure becomes an HRESULT.
template <typename Step>
HRESULT Guarded(Step step) {
  try {
    step();
    return S_OK;
  } catch (const ComError& error) {
    return Fail(error.code(), win32::Utf8ToWide(error.what()).c_str());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    return Fail(E_FAIL, win32::Utf8ToWide(error.what()).c_str());
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// The add-in instance is only held; letting go of it releases Excel's object.
std::shared_ptr<void> Hold(IDispatch* object) {
  if (object == nullptr) return nullptr;
  object->AddRef();
  return std::shared_ptr<void>(object, [](void* held) { static_cast<IDispatch*>(held)->Release(); });
}

}  // namespace

ConnectObject::ConnectObject() { ModuleObjectCreated(); }
ConnectObject::~ConnectObject() { ModuleObjectDestroyed(); }

HRESULT ConnectObject::Create(REFIID iid, void** object) {
  auto* created = new (std::nothrow) ConnectObject();
  if (created == nullptr) return E_OUTOFMEMORY;
  HRESULT result = created->QueryInterface(iid, object);
  created->Release();
  return result;
}

HRESULT ConnectObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidDTExtensibility2) ||
      IsEqualIID(iid, IID__Connect)) {
    *object = static_cast<IDTExtensibility2*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG ConnectObject::AddRef() { return ++references_; }

ULONG ConnectObject::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT ConnectObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT ConnectObject::GetTypeInfo(UINT, LCID, ITypeInfo**) { return DISP_E_BADINDEX; }
HRESULT ConnectObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return DISP_E_UNKNOWNNAME; }
HRESULT ConnectObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT ConnectObject::OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode, IDispatch* AddInInst,
                                    SAFEARRAY**) {
  if (Application == nullptr) return E_INVALIDARG;
  return Guarded([&] {
    // A second connection replaces the menu of the first; its buttons must
    // outlive the call that lets go of them.
    std::unique_ptr<ExcelApplication> previous = std::move(application_);
    application_ = std::make_unique<ExcelApplication>(ComPtr<IDispatch>(Application));
    bool excel = application_->IsSpreadsheetHost();
    if (excel) runtime_.ui().SetOwner(application_->MainWindow());
    connect_.OnConnection(*application_, static_cast<pelorin::ConnectMode>(ConnectMode), Hold(AddInInst));
    if (!excel) application_.reset();
  });
}

HRESULT ConnectObject::OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY**) {
  return Guarded([&] {
    connect_.OnDisconnection(static_cast<pelorin::RemoveMode>(RemoveMode));
    application_.reset();
  });
}

HRESULT ConnectObject::OnAddInsUpdate(SAFEARRAY**) { return S_OK; }
HRESULT ConnectObject::OnStartupComplete(SAFEARRAY**) { return S_OK; }
HRESULT ConnectObject::OnBeginShutdown(SAFEARRAY**) { return S_OK; }

}  // namespace pelorin::excel
