// The preview grid with what each message costs beside it: its encoding,
// its length in that encoding's units and its number of segments.
#pragma once

#include "core/forms/control.h"

namespace pelorin::cli {

// A copy of the preview's grid (header "Mobile", "Message") with the columns
// "Encoding", "Length" and "Segments" after the message.
forms::GridModel WithMessageCosts(const forms::GridModel& grid);

}  // namespace pelorin::cli
