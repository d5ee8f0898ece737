// The Compose page's address for one packet, as the send run fills it in.
#pragma once

#include <string>

#include "core/service/service_pages.h"
#include "core/text/replace.h"

namespace pelorin::service_test {

inline std::string ComposeUrl(const std::string& host, const std::string& uid,
                              const std::string& state, const std::string& file_name) {
  std::string url = service_pages::Url(host, service_pages::kCompose);
  url = ReplaceAll(std::move(url), "!UID!", uid);
  url = ReplaceAll(std::move(url), "!IP!", "10.0.0.5");
  url = ReplaceAll(std::move(url), "!SID!", "PELRIN");
  url = ReplaceAll(std::move(url), "!STATE!", state);
  url = ReplaceAll(std::move(url), "!FILENAME!", file_name);
  return ReplaceAll(std::move(url), "!CATID!", "3");
}

}  // namespace pelorin::service_test
