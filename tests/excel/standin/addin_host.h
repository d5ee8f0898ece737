// What Excel does with a COM add-in: finds it under the add-in key, creates
// its class from the ProgID through the per-user registration, connects it
// and disconnects it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "hosts/excel/office_ids.h"

namespace standin {

class AddinHost {
 public:
  AddinHost() = default;
  ~AddinHost();
  AddinHost(const AddinHost&) = delete;
  AddinHost& operator=(const AddinHost&) = delete;

  // Loads the add-in registered as `prog_id` to load at start-up and calls
  // OnConnection, then OnAddInsUpdate and OnStartupComplete as Excel does at
  // start-up. Answers OnConnection's HRESULT; `problem` says what kept the
  // add-in from loading.
  HRESULT Connect(const std::wstring& prog_id, IDispatch* application, bool at_startup, std::wstring& problem);
  // OnBeginShutdown (when Excel closes) and OnDisconnection; the add-in
  // object is released afterwards.
  HRESULT Disconnect(bool host_shutdown);
  // DllCanUnloadNow of the add-in's DLL; S_OK or S_FALSE.
  HRESULT CanUnloadNow() const;
  // References others hold to the add-in instance object handed over.
  ULONG AddinInstanceReferences() const;
  bool connected() const { return addin_ != nullptr; }

 private:
  pelorin::excel::IDTExtensibility2* addin_ = nullptr;
  IDispatch* addin_instance_ = nullptr;
  HMODULE module_ = nullptr;
};

}  // namespace standin
