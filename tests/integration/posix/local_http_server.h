// A small HTTP server on 127.0.0.1 and an ephemeral port that records what
// reaches it. Pages: /echo answers "echo:" and the body; /fail answers 500
// with an HTML body; /slow answers only when the test ends; /moved
// redirects to /echo.
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pelorin::testing {

struct ReceivedRequest {
  std::string method;
  std::string path;
  std::string body;
  std::optional<std::string> content_type;
  std::optional<std::string> via;
  std::optional<std::string> expect;
  int remote_port = 0;
};

class LocalHttpServer {
 public:
  LocalHttpServer();
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  int port() const { return port_; }
  std::string Url(const std::string& path) const;
  std::vector<ReceivedRequest> requests() const;

 private:
  void Record(const httplib::Request& request);
  void AddPages();

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool stopping_ = false;
  std::vector<ReceivedRequest> requests_;
};

}  // namespace pelorin::testing
