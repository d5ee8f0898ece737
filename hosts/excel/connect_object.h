// The COM class Connect: the object Excel creates from "Pelorin.Connect" and
// drives through IDTExtensibility2; it hands each call to core's Connect.
#pragma once

#include <atomic>
#include <memory>

#include "core/addin/connect.h"
#include "hosts/excel/addin_runtime.h"
#include "hosts/excel/excel_application.h"
#include "hosts/excel/office_ids.h"

namespace pelorin::excel {

class ConnectObject : public IDTExtensibility2 {
 public:
  static HRESULT Create(REFIID iid, void** object);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // Excel calls the add-in through the interface's slots; the dispatch side
  // describes no members.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

  // A host failure (a missing menu bar, say) ends the operation at that step
  // and comes back as its HRESULT, with the host's description as error info.
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                         IDispatch* AddInInst, SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) override;

 private:
  ConnectObject();
  virtual ~ConnectObject();

  std::atomic<ULONG> references_{1};
  AddinRuntime runtime_;
  std::unique_ptr<ExcelApplication> application_;
  Connect connect_{runtime_.context()};
};

}  // namespace pelorin::excel
