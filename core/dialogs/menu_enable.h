// The menu commands whose enabled state the dialogs set after their work:
// the login dialog switches Login and Logout, the settings dialogs re-enable
// their own command.
#pragma once

namespace pelorin {
struct AddinContext;
}

namespace pelorin::dialogs {

enum class MenuCommand { kLogin, kLogout, kProxy, kPacketSize };

// Does nothing while no menu exists (no spreadsheet host connected).
void SetMenuCommandEnabled(AddinContext& context, MenuCommand command, bool enabled);

inline void EnableMenuCommand(AddinContext& context, MenuCommand command) {
  SetMenuCommandEnabled(context, command, true);
}

}  // namespace pelorin::dialogs
