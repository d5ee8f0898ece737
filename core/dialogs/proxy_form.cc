#include "core/dialogs/proxy_form.h"

#include "core/host/user_interface.h"

namespace pelorin {

frmProxySettings::frmProxySettings(AddinContext& context)
    : Form(context.ui, "frmProxySettings", "Proxy Settings", 0, 0), context_(context) {}

void frmProxySettings::BuildControls() {}

}  // namespace pelorin
