#include "hosts/excel/dll_module.h"

#include <atomic>
#include <mutex>

#include "hosts/excel/com_ptr.h"

namespace pelorin::excel {
namespace {

HMODULE g_module = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

}  // namespace

HMODULE ModuleHandle() { return g_module; }

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void ModuleObjectCreated() { ++g_objects; }
void ModuleObjectDestroyed() { --g_objects; }
void ModuleLock(bool lock) { lock ? ++g_locks : --g_locks; }
bool ModuleInUse() { return g_objects.load() > 0 || g_locks.load() > 0; }

ITypeInfo* ModuleTypeInfo(REFGUID interface_id) {
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, library.out()))) return nullptr;
  ITypeInfo* info = nullptr;
  if (FAILED(library->GetTypeInfoOfGuid(interface_id, &info))) return nullptr;
  return info;
}

}  // namespace pelorin::excel

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    pelorin::excel::g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
