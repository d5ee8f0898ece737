// The login dialog: the only place where a user logs in.
#pragma once

#include "core/addin/addin_context.h"
#include "core/forms/form.h"

namespace pelorin {

class frmLogin : public forms::Form {
 public:
  explicit frmLogin(AddinContext& context);

 protected:
  void BuildControls() override;

 private:
  AddinContext& context_;
};

}  // namespace pelorin
