// The class factory and the four exports of the in-process server.
#include <atomic>
#include <new>

#include "hosts/excel/Pelorin_h.h"
#include "hosts/excel/automation_objects.h"
#include "hosts/excel/class_ids.h"
#include "hosts/excel/connect_object.h"
#include "hosts/excel/dll_module.h"
#include "hosts/excel/registration.h"

namespace pelorin::excel {
namespace {

class ClassFactory : public IClassFactory {
 public:
  explicit ClassFactory(CreateFunction create) : create_(create) { ModuleObjectCreated(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
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
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return create_(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    ModuleLock(lock != FALSE);
    return S_OK;
  }

 private:
  virtual ~ClassFactory() { ModuleObjectDestroyed(); }

  std::atomic<ULONG> references_{1};
  CreateFunction create_;
};

const std::array<ClassEntry, 3> kClasses{{
    {&CLSID_Connect, L"{3FB77711-12B7-4CF3-BC53-64B562082D79}", kConnectProgId, &ConnectObject::Create},
    {&CLSID_CGlobal, L"{235B58C0-9284-444A-892F-7F173D9E5AA0}", L"Pelorin.CGlobal", &CreateGlobalObject},
    {&CLSID_ExcelFunctions, L"{CE587442-56CA-431E-AD71-664110BBE6B7}", L"Pelorin.ExcelFunctions",
     &CreateFunctionsObject},
}};

}  // namespace

const std::array<ClassEntry, 3>& CreatableClasses() { return kClasses; }

}  // namespace pelorin::excel

using namespace pelorin::excel;

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_INVALIDARG;
  *object = nullptr;
  for (const ClassEntry& entry : CreatableClasses()) {
    if (!IsEqualCLSID(clsid, *entry.clsid)) continue;
    auto* factory = new (std::nothrow) ClassFactory(entry.create);
    if (factory == nullptr) return E_OUTOFMEMORY;
    HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return ModuleInUse() ? S_FALSE : S_OK; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return RegisterServer(); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return UnregisterServer(); }
