// The proxy dialog: sets or removes the HTTP proxy of every request.
#pragma once

#include "core/addin/addin_context.h"
#include "core/forms/form.h"

namespace pelorin {

class frmProxySettings : public forms::Form {
 public:
  explicit frmProxySettings(AddinContext& context);

 protected:
  void BuildControls() override;

 private:
  AddinContext& context_;
};

}  // namespace pelorin
