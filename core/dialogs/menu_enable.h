// The menu commands whose enabled state the dialogs set after their work:
// the login dialog switches Login and Logout, the settings dialogs re-enable
// their own command.
#pragma once

#include "core/addin/excel_controls.h"

namespace pelorin::dialogs {

// Does nothing while no menu exists (no spreadsheet host connected, or the
// menu not built yet).
void SetMenuCommandEnabled(AddinContext& context, MenuCommand command, bool enabled);

inline void EnableMenuCommand(AddinContext& context, MenuCommand command) {
  SetMenuCommandEnabled(context, command, true);
}

}  // namespace pelorin::dialogs
