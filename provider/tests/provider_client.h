// Helpers for talking to a ProviderProcess the way the add-in does: POSTs
// to the service pages with the add-in's form encoding.
#ifndef PELORIN_PROVIDER_TESTS_PROVIDER_CLIENT_H_
#define PELORIN_PROVIDER_TESTS_PROVIDER_CLIENT_H_

#include <httplib.h>

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "provider_process.h"

namespace pelorin::provider_test {

using Records = std::vector<std::pair<std::string, std::string>>;

inline constexpr const char* kPrefix = "/PelorinExcelplugin02022012/";
inline constexpr const char* kFormType = "application/x-www-form-urlencoded";
inline constexpr const char* kSuccess = "Error : 0 - SUCCESS.";

// Letters and digits kept, space as '+', every other byte as %XX.
inline std::string FormEncode(const std::string& text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c)) {
      out.push_back(static_cast<char>(c));
    } else if (c == ' ') {
      out.push_back('+');
    } else {
      out += {'%', kHex[c >> 4], kHex[c & 15]};
    }
  }
  return out;
}

inline std::string RecordText(const Records& records) {
  std::string text;
  for (const auto& [mobile, message] : records) text += mobile + "|*^" + message + "~?*";
  return text;
}

inline std::string ComposeBody(const std::string& record_text, const std::string& schedule = "",
                               const std::string& flash = "N") {
  return "variable1=" + FormEncode(record_text) + "&variable2=" + schedule +
         "&variable3=" + flash;
}

inline std::string ComposePath(const std::string& uid, const std::string& state,
                               const std::string& filename, const std::string& sid = "ABC",
                               const std::string& catid = "3") {
  return std::string(kPrefix) + "Compose.aspx?uid=" + uid + "&ip=10.1.2.3&sid=" + sid +
         "&state=" + state + "&filename=" + filename + "&catid=" + catid;
}

class Client {
 public:
  explicit Client(const testing::ProviderProcess& provider)
      : http_("127.0.0.1", provider.port()) {
    http_.set_read_timeout(std::chrono::seconds(20));
    http_.set_url_encode(false);  // paths are sent exactly as written
  }

  httplib::Result Post(const std::string& path, const std::string& body = "",
                       const char* type = kFormType) {
    return http_.Post(path.c_str(), body, type);
  }
  httplib::Result Get(const std::string& path) { return http_.Get(path.c_str()); }

  // The reply body of a bodiless POST to a service page; "<no reply>" when
  // the request failed.
  std::string Page(const std::string& page_and_query) {
    httplib::Result result = Post(std::string(kPrefix) + page_and_query);
    return result ? result->body : "<no reply: " + httplib::to_string(result.error()) + ">";
  }

  std::string Compose(const std::string& uid, const std::string& state,
                      const std::string& filename, const std::string& record_text) {
    httplib::Result result = Post(ComposePath(uid, state, filename), ComposeBody(record_text));
    return result ? result->body : "<no reply: " + httplib::to_string(result.error()) + ">";
  }

  httplib::Client& http() { return http_; }

 private:
  httplib::Client http_;
};

inline nlohmann::json Runs(testing::ProviderProcess& provider, const std::string& uid = {}) {
  return nlohmann::json::parse(provider.RunsJson(uid));
}

inline Records RecordsOf(const nlohmann::json& run) {
  Records records;
  for (const auto& record : run.at("records")) {
    records.emplace_back(record.at("mobile").get<std::string>(),
                         record.at("message").get<std::string>());
  }
  return records;
}

}  // namespace pelorin::provider_test

#endif  // PELORIN_PROVIDER_TESTS_PROVIDER_CLIENT_H_
