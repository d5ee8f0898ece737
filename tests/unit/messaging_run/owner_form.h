// A bare form standing in for the send dialog that owns a status window.
#pragma once

#include "core/forms/form.h"

namespace pelorin::testing {

class OwnerForm : public forms::Form {
 public:
  explicit OwnerForm(UserInterface& ui) : Form(ui, "frmSendSMS", "Send Text Message", 8970, 7200) {}

 protected:
  void BuildControls() override {}
};

}  // namespace pelorin::testing
