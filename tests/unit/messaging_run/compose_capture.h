// Reads back what a send run posted to the Compose page.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/host/http_transport.h"

namespace pelorin::testing {

// The inverse of the form and percent encodings ("+" is a space).
inline std::string FormDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// "a=1&b=2" as its fields, values decoded.
inline std::map<std::string, std::string> ParseFields(std::string_view text) {
  std::map<std::string, std::string> fields;
  while (!text.empty()) {
    std::string_view pair = text.substr(0, text.find('&'));
    std::size_t equals = pair.find('=');
    fields[std::string(pair.substr(0, equals))] =
        equals == std::string_view::npos ? "" : FormDecode(pair.substr(equals + 1));
    text.remove_prefix(std::min(text.size(), pair.size() + 1));
  }
  return fields;
}

struct ComposePost {
  std::string path;  // up to the "?"
  std::map<std::string, std::string> query;
  std::map<std::string, std::string> body;
  int records = 0;  // record terminators in variable1
};

inline ComposePost ReadComposePost(const HttpRequest& request) {
  ComposePost post;
  std::size_t question = request.url.find('?');
  post.path = request.url.substr(0, question);
  post.query = ParseFields(std::string_view(request.url).substr(question + 1));
  post.body = ParseFields(request.body);
  const std::string& records = post.body["variable1"];
  for (std::size_t at = records.find("~?*"); at != std::string::npos;
       at = records.find("~?*", at + 3)) {
    ++post.records;
  }
  return post;
}

}  // namespace pelorin::testing
