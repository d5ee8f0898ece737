// `pelorin sheets WORKBOOK`: what a user needs to pick --sheet and the rows.
#pragma once

#include <ostream>
#include <string>

namespace pelorin::cli {

// One line per sheet: "*" for the active one, its name, its used rows and
// columns. Answers the exit status.
int RunSheetsCommand(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace pelorin::cli
