#include "core/dialogs/packet_size_form.h"

#include "core/host/user_interface.h"

namespace pelorin {

frmPacketSize::frmPacketSize(AddinContext& context)
    : Form(context.ui, "frmPacketSize", "PacketSize Settings", 0, 0), context_(context) {}

void frmPacketSize::BuildControls() {}

}  // namespace pelorin
