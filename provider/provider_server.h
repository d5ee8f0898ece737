// ProviderServer answers the provider's service pages, web pages, run
// reports and admin endpoints over HTTP (cpp-httplib), with the state in a
// ProviderStore and faults from a FaultInjector.
#ifndef PELORIN_PROVIDER_PROVIDER_SERVER_H_
#define PELORIN_PROVIDER_PROVIDER_SERVER_H_

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "fault_injector.h"
#include "service_pages.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace pelorin::provider {

class ProviderStore;

inline constexpr std::string_view kServicePrefix = "/PelorinExcelplugin02022012/";

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 8080;  // 0 picks a free port
  size_t max_body = size_t{64} << 20;
  std::string web_host;  // host the web pages link to; empty: host:port
  UpdateNotice update;
};

class ProviderServer {
 public:
  ProviderServer(ProviderStore& store, ServerOptions options);
  ~ProviderServer();
  ProviderServer(const ProviderServer&) = delete;
  ProviderServer& operator=(const ProviderServer&) = delete;

  // Binds the listening socket and answers the port it got; throws
  // std::runtime_error when the address cannot be bound.
  int Bind();
  // Serves until Stop(); answers false when the listener failed.
  bool Run();
  // Safe from any thread; makes Run() return.
  void Stop();

 private:
  struct Body {
    std::string text;
    bool too_large = false;
  };

  void Dispatch(const httplib::Request& request, const Body& body,
                httplib::Response& response);
  void ServePage(const std::string& page, const httplib::Request& request,
                 const Body& body, httplib::Response& response);
  std::string AnswerPage(const std::string& page, const httplib::Request& request,
                         const Body& body);
  void ServeAdmin(const httplib::Request& request, httplib::Response& response);
  UpdateNotice CurrentUpdate();

  ProviderStore& store_;
  ServerOptions options_;
  FaultInjector faults_;
  std::mutex update_mutex_;
  UpdateNotice update_;
  std::unique_ptr<httplib::Server> http_;
};

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_PROVIDER_SERVER_H_
