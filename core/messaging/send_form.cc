#include "core/messaging/send_form.h"

#include "core/host/user_interface.h"

namespace pelorin {

frmSendSMS::frmSendSMS(AddinContext& context)
    : Form(context.ui, "frmSendSMS", "Send Text Message", 0, 0), context_(context) {}

void frmSendSMS::BuildControls() {}

}  // namespace pelorin
