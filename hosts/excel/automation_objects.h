// The public classes that other programs create through their ProgIDs:
// CGlobal (the dialogs' show and hide, the keystroke filters, the
// leading-zero check) and ExcelFunctions (DoubleIt).
#pragma once

#include <oaidl.h>

namespace pelorin::excel {

HRESULT CreateGlobalObject(REFIID iid, void** object);
HRESULT CreateFunctionsObject(REFIID iid, void** object);

}  // namespace pelorin::excel
