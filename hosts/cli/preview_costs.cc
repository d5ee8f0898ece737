#include "hosts/cli/preview_costs.h"

#include <string>

#include "core/messaging/message_segments.h"

namespace pelorin::cli {

forms::GridModel WithMessageCosts(const forms::GridModel& grid) {
  constexpr std::size_t kMessageColumn = 1;
  forms::GridModel costed = grid;
  costed.columns = grid.columns + 3;
  for (std::size_t r = 0; r < costed.rows.size(); ++r) {
    std::vector<std::string>& cells = costed.rows[r];
    cells.resize(static_cast<std::size_t>(grid.columns));
    if (r == 0) {
      cells.insert(cells.end(), {"Encoding", "Length", "Segments"});
      continue;
    }
    const MessageCost cost = CountSegments(cells[kMessageColumn]);
    cells.insert(cells.end(), {std::string(EncodingName(cost.encoding)),
                               std::to_string(cost.units), std::to_string(cost.segments)});
  }
  return costed;
}

}  // namespace pelorin::cli
