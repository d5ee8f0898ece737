#include "tests/excel/standin/addin_host.h"

#include <atomic>

#include "tests/excel/standin/StandinExcel_h.h"
#include "tests/excel/standin/model.h"

namespace standin {
namespace {

using pelorin::excel::IDTExtensibility2;

bool ReadText(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring& text) {
  wchar_t buffer[1024];
  DWORD size = sizeof buffer;
  DWORD type = 0;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_ANY, &type, buffer, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ) return false;
  text.assign(buffer, size / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return true;
}

// The per-user classes first, then the machine's: the merged view Windows
// gives HKEY_CLASSES_ROOT and Wine does not.
bool FindServer(const std::wstring& prog_id, CLSID& clsid, std::wstring& path, std::wstring& problem) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    std::wstring classes = L"Software\\Classes\\";
    std::wstring clsid_text;
    if (!ReadText(root, classes + prog_id + L"\\CLSID", nullptr, clsid_text)) continue;
    if (FAILED(CLSIDFromString(clsid_text.c_str(), &clsid))) continue;
    std::wstring server = classes + L"CLSID\\" + clsid_text + L"\\InprocServer32";
    std::wstring threading;
    if (!ReadText(root, server, nullptr, path)) continue;
    if (!ReadText(root, server, L"ThreadingModel", threading) || (threading != L"Apartment" && threading != L"Both")) {
      problem = L"the class is not registered for Excel's apartment";
      return false;
    }
    return true;
  }
  problem = L"the class of " + prog_id + L" is not registered";
  return false;
}

class ComAddInObject : public COMAddIn {
 public:
  explicit ComAddInObject(std::wstring prog_id) : prog_id_(std::move(prog_id)) {}
  virtual ~ComAddInObject() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_COMAddIn)) {
      *object = static_cast<COMAddIn*>(this);
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
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE get_Description(BSTR* description) override {
    *description = SysAllocString(L"Pelorin");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ProgId(BSTR* prog_id) override {
    *prog_id = SysAllocString(prog_id_.c_str());
    return S_OK;
  }

 private:
  std::atomic<ULONG> references_{1};
  std::wstring prog_id_;
};

SAFEARRAY* EmptyCustom() { return SafeArrayCreateVector(VT_VARIANT, 0, 0); }

}  // namespace

AddinHost::~AddinHost() {
  if (addin_ != nullptr) addin_->Release();
  if (addin_instance_ != nullptr) addin_instance_->Release();
}

HRESULT AddinHost::Connect(const std::wstring& prog_id, IDispatch* application, bool at_startup,
                           std::wstring& problem) {
  std::wstring addin_key = L"Software\\Microsoft\\Office\\Excel\\Addins\\" + prog_id;
  DWORD behaviour = 0;
  DWORD size = sizeof behaviour;
  if (RegGetValueW(HKEY_CURRENT_USER, addin_key.c_str(), L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &behaviour,
                   &size) != ERROR_SUCCESS) {
    problem = L"no add-in key with a LoadBehavior for " + prog_id;
    return REGDB_E_CLASSNOTREG;
  }
  if (at_startup && (behaviour & 3) != 3) {
    problem = L"the add-in is not set to load at start-up";
    return REGDB_E_CLASSNOTREG;
  }
  CLSID clsid{};
  std::wstring path;
  if (!FindServer(prog_id, clsid, path, problem)) return REGDB_E_CLASSNOTREG;
  if (module_ == nullptr) module_ = LoadLibraryW(path.c_str());
  if (module_ == nullptr) {
    problem = L"cannot load " + path;
    return HRESULT_FROM_WIN32(GetLastError());
  }
  auto get_class_object =
      reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
          reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
  if (get_class_object == nullptr) {
    problem = L"the DLL exports no DllGetClassObject";
    return E_FAIL;
  }
  IClassFactory* factory = nullptr;
  HRESULT result = get_class_object(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(result)) {
    problem = L"DllGetClassObject refused the class";
    return result;
  }
  result = factory->CreateInstance(nullptr, pelorin::excel::kIidDTExtensibility2, reinterpret_cast<void**>(&addin_));
  factory->Release();
  if (FAILED(result)) {
    problem = L"the class does not implement IDTExtensibility2";
    return result;
  }
  addin_instance_ = new ComAddInObject(prog_id);
  SAFEARRAY* custom = EmptyCustom();
  result = addin_->OnConnection(application,
                                at_startup ? pelorin::excel::ext_cm_Startup : pelorin::excel::ext_cm_AfterStartup,
                                addin_instance_, &custom);
  if (FAILED(result)) {
    // Excel counts the add-in as not loaded and lets the object go.
    problem = L"OnConnection failed";
    addin_->Release();
    addin_ = nullptr;
    SafeArrayDestroy(custom);
    return result;
  }
  addin_->OnAddInsUpdate(&custom);
  if (at_startup) addin_->OnStartupComplete(&custom);
  SafeArrayDestroy(custom);
  return result;
}

HRESULT AddinHost::Disconnect(bool host_shutdown) {
  if (addin_ == nullptr) return E_UNEXPECTED;
  SAFEARRAY* custom = EmptyCustom();
  if (host_shutdown) addin_->OnBeginShutdown(&custom);
  HRESULT result = addin_->OnDisconnection(
      host_shutdown ? pelorin::excel::ext_dm_HostShutdown : pelorin::excel::ext_dm_UserClosed, &custom);
  SafeArrayDestroy(custom);
  addin_->Release();
  addin_ = nullptr;
  return result;
}

HRESULT AddinHost::CanUnloadNow() const {
  if (module_ == nullptr) return S_OK;
  auto can_unload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
  return can_unload != nullptr ? can_unload() : E_FAIL;
}

ULONG AddinHost::AddinInstanceReferences() const {
  if (addin_instance_ == nullptr) return 0;
  ULONG count = addin_instance_->AddRef();
  addin_instance_->Release();
  return count - 2;
}

}  // namespace standin
