#include "hosts/calc/uno/command_urls.h"

namespace pelorin::calc {

std::string CommandUrl(std::string_view caption) {
  std::string url(kCommandProtocol);
  for (char c : caption) {
    if (c != ' ') url.push_back(c);
  }
  return url;
}

}  // namespace pelorin::calc
