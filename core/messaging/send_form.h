// The send dialog: composes a bulk send from the active worksheet.
#pragma once

#include "core/addin/addin_context.h"
#include "core/forms/form.h"

namespace pelorin {

class frmSendSMS : public forms::Form {
 public:
  explicit frmSendSMS(AddinContext& context);

 protected:
  void BuildControls() override;

 private:
  AddinContext& context_;
};

}  // namespace pelorin
