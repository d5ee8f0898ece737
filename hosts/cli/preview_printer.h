// Prints the preview window's grid: an aligned table for people, tab
// separated values or JSON for scripts.
#pragma once

#include <ostream>

#include "core/forms/control.h"

namespace pelorin::cli {

void PrintGridTable(const forms::GridModel& grid, std::ostream& out);
void PrintGridTsv(const forms::GridModel& grid, std::ostream& out);
// An array of objects keyed by the header row's texts.
void PrintGridJson(const forms::GridModel& grid, std::ostream& out);

}  // namespace pelorin::cli
