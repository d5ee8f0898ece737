// The object a command-bar button's connection point calls: it answers
// Office's _CommandBarButtonEvents and turns each Click into a call.
#pragma once

#include <oaidl.h>

#include <atomic>
#include <functional>

namespace pelorin::excel {

class ClickSink : public IDispatch {
 public:
  static ClickSink* Create();  // with one reference, the caller's

  void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  // Click(Ctrl, CancelDefault): runs the handler and leaves CancelDefault as
  // it came; nothing the handler throws reaches the host.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO*, UINT*) override;

 private:
  ClickSink();
  virtual ~ClickSink();

  std::atomic<ULONG> references_{1};
  std::function<void()> handler_;
};

}  // namespace pelorin::excel
