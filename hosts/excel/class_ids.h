// The add-in's creatable classes: class id, ProgID and how to make one.
#pragma once

#include <oaidl.h>

#include <array>

namespace pelorin::excel {

using CreateFunction = HRESULT (*)(REFIID iid, void** object);

struct ClassEntry {
  const CLSID* clsid;
  const wchar_t* clsid_text;
  const wchar_t* prog_id;
  CreateFunction create;
};

// Connect, CGlobal and ExcelFunctions; CExcelControls and CExcelEvents are
// described in the type library but made only by a connection.
const std::array<ClassEntry, 3>& CreatableClasses();

inline constexpr wchar_t kLibraryIdText[] = L"{050A98CB-7E54-49F1-ACCE-7F5E960AE2EB}";
inline constexpr wchar_t kConnectProgId[] = L"Pelorin.Connect";

}  // namespace pelorin::excel
