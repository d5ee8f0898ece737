#include "core/dialogs/menu_enable.h"

#include "core/addin/addin_context.h"

namespace pelorin::dialogs {

void SetMenuCommandEnabled(AddinContext& context, MenuCommand command, bool enabled) {
  if (context.controls == nullptr) return;
  (void)command;
  (void)enabled;
}

}  // namespace pelorin::dialogs
