#include "core/login/login_form.h"

#include "core/host/user_interface.h"

namespace pelorin {

frmLogin::frmLogin(AddinContext& context)
    : Form(context.ui, "frmLogin", "LogIn", 0, 0), context_(context) {}

void frmLogin::BuildControls() {}

}  // namespace pelorin
