// The command line's parser and dispatch, apart from main() so that tests
// can run a whole command in-process.
#pragma once

#include <ostream>

namespace pelorin::cli {

// Parses argv, runs the subcommand and answers the exit status. Throws
// nothing the subcommands throw: each error becomes a line on `err`.
int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace pelorin::cli
