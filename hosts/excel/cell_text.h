// A cell's value, as Excel's Range.Value answers it, turned into the text
// Excel shows for it by default.
#pragma once

#include <oaidl.h>

#include <string>

namespace pelorin::excel {

// Numbers in general form (15 significant digits, so 919876543210 stays
// whole), dates in the user's short date form (and time when it has one),
// TRUE and FALSE, an error value as its text ("#N/A"), empty as "".
std::string CellText(const VARIANT& value);

}  // namespace pelorin::excel
