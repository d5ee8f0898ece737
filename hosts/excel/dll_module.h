// The in-process server's module state: its handle, and the count of live
// objects and server locks that DllCanUnloadNow answers from.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace pelorin::excel {

HMODULE ModuleHandle();
// The full path of Pelorin.dll, as registration records it.
std::wstring ModulePath();

void ModuleObjectCreated();
void ModuleObjectDestroyed();
void ModuleLock(bool lock);
bool ModuleInUse();

// The type information of one interface of the type library embedded in the
// module; null when it cannot be loaded.
ITypeInfo* ModuleTypeInfo(REFGUID interface_id);

}  // namespace pelorin::excel
