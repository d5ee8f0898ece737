// pelorin: the command-line host. Every menu command is a subcommand that
// drives the same form models as the spreadsheet hosts.
#include <exception>
#include <iostream>

#include "hosts/cli/cli_main.h"

int main(int argc, char** argv) {
  try {
    return pelorin::cli::RunCommandLine(argc, argv, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << "pelorin: " << error.what() << '\n';
  } catch (...) {
    std::cerr << "pelorin: unexpected failure\n";
  }
  return 1;
}
