#include "local_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace pelorin::testing {
namespace {

std::optional<std::string> Header(const httplib::Request& request, const char* name) {
  if (!request.has_header(name)) return std::nullopt;
  return request.get_header_value(name);
}

}  // namespace

LocalHttpServer::LocalHttpServer() {
  AddPages();
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("cannot bind the test HTTP server");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  for (int i = 0; i < 500 && !server_.is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!server_.is_running()) {
    server_.stop();
    thread_.join();
    throw std::runtime_error("the test HTTP server did not start");
  }
}

LocalHttpServer::~LocalHttpServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  released_.notify_all();
  server_.stop();
  thread_.join();
}

std::string LocalHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<ReceivedRequest> LocalHttpServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void LocalHttpServer::Record(const httplib::Request& request) {
  ReceivedRequest received{request.method,
                           request.path,
                           request.body,
                           Header(request, "Content-Type"),
                           Header(request, "Via"),
                           Header(request, "Expect"),
                           request.remote_port};
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(std::move(received));
}

void LocalHttpServer::AddPages() {
  server_.Post("/echo", [this](const httplib::Request& request, httplib::Response& response) {
    Record(request);
    response.set_content("echo:" + request.body, "text/plain");
  });
  server_.Post("/fail", [this](const httplib::Request& request, httplib::Response& response) {
    Record(request);
    response.status = 500;
    response.set_content("<html><body>Internal failure</body></html>", "text/html");
  });
  server_.Post("/slow", [this](const httplib::Request& request, httplib::Response& response) {
    Record(request);
    std::unique_lock<std::mutex> lock(mutex_);
    released_.wait_for(lock, std::chrono::seconds(20), [this] { return stopping_; });
    response.set_content("late", "text/plain");
  });
  server_.Post("/moved", [this](const httplib::Request& request, httplib::Response& response) {
    Record(request);
    response.set_redirect("/echo", 307);
  });
}

}  // namespace pelorin::testing
