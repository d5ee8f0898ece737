#include "hosts/excel/registration.h"

#include <olectl.h>

#include "hosts/excel/class_ids.h"
#include "hosts/excel/dll_module.h"

namespace pelorin::excel {
namespace {

constexpr wchar_t kClasses[] = L"Software\\Classes\\";
constexpr wchar_t kAddinKey[] = L"Software\\Microsoft\\Office\\Excel\\Addins\\Pelorin.Connect";
// The automation marshaller of oleaut32, for dual interfaces.
constexpr wchar_t kUniversalMarshaller[] = L"{00020424-0000-0000-C000-000000000046}";

struct InterfaceName {
  const wchar_t* iid;
  const wchar_t* name;
};

constexpr InterfaceName kInterfaces[] = {
    {L"{DE1AD6EA-09DF-4206-8356-6375DBD75772}", L"_Connect"},
    {L"{67A61FF8-FC2B-4B07-A283-6AB6B688F02F}", L"_CGlobal"},
    {L"{C90A4206-1341-4D3F-92A1-19C311694EDA}", L"_CExcelControls"},
    {L"{075C9077-84E6-4D2C-B69E-B5AA79E5D4CD}", L"_CExcelEvents"},
    {L"{D5248E45-557D-440D-9F58-999617C4FEC2}", L"_ExcelFunctions"},
};

std::wstring Directory(const std::wstring& path) {
  std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

RegistryEntry Text(std::wstring key, std::wstring name, std::wstring text) {
  return {std::move(key), std::move(name), REG_SZ, std::move(text), 0};
}

RegistryEntry Number(std::wstring key, std::wstring name, DWORD number) {
  return {std::move(key), std::move(name), REG_DWORD, L"", number};
}

LONG Write(const RegistryEntry& entry) {
  HKEY key = nullptr;
  LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, entry.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_SET_VALUE, nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS) return result;
  const wchar_t* name = entry.name.empty() ? nullptr : entry.name.c_str();
  if (entry.type == REG_DWORD) {
    result = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&entry.number),
                            sizeof entry.number);
  } else {
    result = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.text.c_str()),
                            static_cast<DWORD>((entry.text.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
  return result;
}

bool DeleteOwnedKeys() {
  bool all = true;
  for (const std::wstring& key : OwnedKeys()) {
    LONG result = RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    if (result == ERROR_SUCCESS) result = RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) all = false;
  }
  return all;
}

const wchar_t* PlatformSubkey() { return sizeof(void*) == 8 ? L"win64" : L"win32"; }

}  // namespace

std::vector<RegistryEntry> RegistrationEntries(const std::wstring& module_path) {
  std::vector<RegistryEntry> entries;
  const std::wstring classes = kClasses;
  for (const ClassEntry& entry : CreatableClasses()) {
    std::wstring clsid_key = classes + L"CLSID\\" + entry.clsid_text;
    entries.push_back(Text(clsid_key, L"", entry.prog_id));
    entries.push_back(Text(clsid_key + L"\\InprocServer32", L"", module_path));
    entries.push_back(Text(clsid_key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"));
    entries.push_back(Text(clsid_key + L"\\ProgID", L"", entry.prog_id));
    entries.push_back(Text(clsid_key + L"\\VersionIndependentProgID", L"", entry.prog_id));
    entries.push_back(Text(clsid_key + L"\\TypeLib", L"", kLibraryIdText));
    entries.push_back(Text(clsid_key + L"\\Version", L"", L"1.0"));
    entries.push_back(Text(clsid_key + L"\\Programmable", L"", L""));
    entries.push_back(Text(classes + entry.prog_id, L"", entry.prog_id));
    entries.push_back(Text(classes + entry.prog_id + L"\\CLSID", L"", entry.clsid_text));
  }
  std::wstring library = classes + L"TypeLib\\" + kLibraryIdText + L"\\1.0";
  entries.push_back(Text(library, L"", L"Pelorin Excel Plugin"));
  entries.push_back(Text(library + L"\\0\\" + PlatformSubkey(), L"", module_path));
  entries.push_back(Text(library + L"\\FLAGS", L"", L"0"));
  entries.push_back(Text(library + L"\\HELPDIR", L"", Directory(module_path)));
  for (const InterfaceName& described : kInterfaces) {
    std::wstring key = classes + L"Interface\\" + described.iid;
    entries.push_back(Text(key, L"", described.name));
    entries.push_back(Text(key + L"\\ProxyStubClsid32", L"", kUniversalMarshaller));
    entries.push_back(Text(key + L"\\TypeLib", L"", kLibraryIdText));
    entries.push_back(Text(key + L"\\TypeLib", L"Version", L"1.0"));
  }
  entries.push_back(Text(kAddinKey, L"FriendlyName", L"Pelorin"));
  entries.push_back(Text(kAddinKey, L"Description", L"Add-In Project Template"));
  entries.push_back(Number(kAddinKey, L"LoadBehavior", 3));
  entries.push_back(Number(kAddinKey, L"CommandLineSafe", 0));
  return entries;
}

std::vector<std::wstring> OwnedKeys() {
  std::vector<std::wstring> keys;
  const std::wstring classes = kClasses;
  for (const ClassEntry& entry : CreatableClasses()) {
    keys.push_back(classes + L"CLSID\\" + entry.clsid_text);
    keys.push_back(classes + entry.prog_id);
  }
  keys.push_back(classes + L"TypeLib\\" + kLibraryIdText);
  for (const InterfaceName& described : kInterfaces) keys.push_back(classes + L"Interface\\" + described.iid);
  keys.push_back(kAddinKey);
  return keys;
}

HRESULT RegisterServer() {
  std::wstring path = ModulePath();
  if (path.empty()) return E_UNEXPECTED;
  for (const RegistryEntry& entry : RegistrationEntries(path)) {
    if (Write(entry) != ERROR_SUCCESS) {
      DeleteOwnedKeys();
      return entry.key.find(L"TypeLib") != std::wstring::npos ? SELFREG_E_TYPELIB : SELFREG_E_CLASS;
    }
  }
  return S_OK;
}

HRESULT UnregisterServer() { return DeleteOwnedKeys() ? S_OK : SELFREG_E_CLASS; }

}  // namespace pelorin::excel
