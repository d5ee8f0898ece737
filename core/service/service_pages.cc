#include "core/service/service_pages.h"

namespace pelorin::service_pages {

std::string Url(std::string_view host, std::string_view path) {
  std::string url = "http://";
  url += host;
  url += path;
  return url;
}

}  // namespace pelorin::service_pages
