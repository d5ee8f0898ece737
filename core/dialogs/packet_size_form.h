// The packet size dialog: sets the rows per upload packet, or clears it.
#pragma once

#include "core/addin/addin_context.h"
#include "core/forms/form.h"

namespace pelorin {

class frmPacketSize : public forms::Form {
 public:
  explicit frmPacketSize(AddinContext& context);

 protected:
  void BuildControls() override;

 private:
  AddinContext& context_;
};

}  // namespace pelorin
