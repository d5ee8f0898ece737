// pelorin: the command-line host. Every menu command is a subcommand that
// drives the same form models as the spreadsheet hosts.
#include <exception>
#include <iostream>

#include "hosts/cli/cli_main.h"
#include "hosts/cli/visible_controls.h"

int main(int argc, char** argv) {
  try {
    // Results on a terminal may carry the service's words: shown, not obeyed.
    pelorin::cli::VisibleControlsBuffer visible(std::cout.rdbuf());
    std::ostream terminal_out(&visible);
    std::ostream& out = pelorin::cli::IsTerminal(std::cout) ? terminal_out : std::cout;
    const int status = pelorin::cli::RunCommandLine(argc, argv, out, std::cerr);
    out.flush();
    return status;
  } catch (const std::exception& error) {
    std::cerr << "pelorin: " << error.what() << '\n';
  } catch (...) {
    std::cerr << "pelorin: unexpected failure\n";
  }
  return 1;
}
