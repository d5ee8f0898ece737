// Per-user registration of the add-in: its classes and ProgIDs, its type
// library and interfaces, and the Excel add-in key, all under
// HKEY_CURRENT_USER so that no administrator rights are needed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace pelorin::excel {

// One value registration writes: under HKEY_CURRENT_USER, key path, value
// name (empty for the key's default value), REG_SZ text or REG_DWORD.
struct RegistryEntry {
  std::wstring key;
  std::wstring name;
  DWORD type = REG_SZ;
  std::wstring text;
  DWORD number = 0;
};

// Everything registration writes for the DLL at `module_path`.
std::vector<RegistryEntry> RegistrationEntries(const std::wstring& module_path);
// The keys registration creates and owns whole; unregistration deletes
// these and nothing else.
std::vector<std::wstring> OwnedKeys();

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace pelorin::excel
