#include "provider_server.h"

#include <httplib.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "compose_page.h"
#include "connection_dropper.h"
#include "form_codec.h"
#include "provider_store.h"
#include "runs_report.h"
#include "web_pages.h"

namespace pelorin::provider {
namespace {

constexpr const char* kTextType = "text/plain; charset=utf-8";
constexpr const char* kHtmlType = "text/html; charset=utf-8";
constexpr std::string_view kTimedOutReply = "Error : -1 - Operation Timed Out.";

bool IsLoopback(const std::string& address) {
  return address == "127.0.0.1" || address == "::1" || address == "::ffff:127.0.0.1";
}

// "Compose" for ".../Compose.aspx"; empty when the path is no service page.
std::string ServicePageOf(const std::string& path) {
  if (path.rfind(kServicePrefix, 0) != 0) return {};
  std::string name = path.substr(kServicePrefix.size());
  for (const char* page : {"Compose", "UserValidation", "GetCreditDetails", "GetSenderID"}) {
    if (name == std::string(page) + ".aspx") return page;
  }
  return {};
}

constexpr std::size_t kWorkers = 64;

bool IsChunked(const httplib::Request& request) {
  return request.get_header_value("Transfer-Encoding").find("chunked") != std::string::npos;
}

}  // namespace

ProviderServer::ProviderServer(ProviderStore& store, ServerOptions options)
    : store_(store),
      options_(std::move(options)),
      update_(options_.update),
      http_(std::make_unique<httplib::Server>()) {
  http_->set_keep_alive_max_count(1000);
  // The server gives each connection a worker until it is done. A client
  // that trickles its request a byte at a time must not keep one for long,
  // and a few such clients must not take them all: a pause of more than
  // a second in a request, or on an idle kept-alive connection, ends it, and
  // there are workers enough to serve the others meanwhile.
  http_->set_read_timeout(std::chrono::seconds(1));
  http_->set_keep_alive_timeout(2);
  http_->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
  // A reply goes out in more than one write; with Nagle's algorithm the
  // second waits for the client's delayed ACK, about 40 ms per request on
  // a kept-alive connection.
  http_->set_tcp_nodelay(true);
  // Every request body goes through ReadBody's own limit, so that an
  // oversized upload still gets a reply in the Compose grammar.
  http_->Post(".*", [this](const httplib::Request& request, httplib::Response& response,
                           const httplib::ContentReader& reader) {
    Body body;
    auto keep = [&](const char* data, size_t size) {
      if (body.too_large) return true;  // drain the rest, keep nothing
      if (body.text.size() + size > options_.max_body) {
        body.too_large = true;
        std::string().swap(body.text);
        return true;
      }
      body.text.append(data, size);
      return true;
    };
    if (request.is_multipart_form_data()) {
      // Not a form the service pages read; drained and answered as such.
      reader([](const httplib::MultipartFormData&) { return true; },
             [](const char*, size_t) { return true; });
    } else if (request.has_header("Content-Length") || IsChunked(request)) {
      reader(keep);
    }
    Dispatch(request, body, response);
  });
  http_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    Dispatch(request, Body{}, response);
  });
}

ProviderServer::~ProviderServer() = default;

int ProviderServer::Bind() {
  int port = options_.port;
  if (port == 0) {
    port = http_->bind_to_any_port(options_.host);
    if (port <= 0) {
      throw std::runtime_error("cannot bind a free port on " + options_.host);
    }
  } else if (!http_->bind_to_port(options_.host, port)) {
    throw std::runtime_error("cannot bind " + options_.host + ":" + std::to_string(port));
  }
  options_.port = port;
  if (options_.web_host.empty()) options_.web_host = options_.host + ":" + std::to_string(port);
  return port;
}

bool ProviderServer::Run() { return http_->listen_after_bind(); }

void ProviderServer::Stop() { http_->stop(); }

UpdateNotice ProviderServer::CurrentUpdate() {
  std::lock_guard lock(update_mutex_);
  return update_;
}

void ProviderServer::Dispatch(const httplib::Request& request, const Body& body,
                              httplib::Response& response) {
  const std::string& path = request.path;
  if (std::string page = ServicePageOf(path); !page.empty()) {
    ServePage(page, request, body, response);
  } else if (path.rfind("/admin/", 0) == 0) {
    ServeAdmin(request, response);
  } else if (path == "/runs" || path == "/runs.json") {
    std::optional<FormFields> query = ParseForm(QueryOf(request.target));
    std::string uid = query && query->contains("uid") ? query->at("uid") : "";
    std::vector<provider::Run> runs = store_.ListRuns(uid);
    if (path == "/runs") {
      response.set_content(RunsToHtml(runs), kHtmlType);
    } else {
      response.set_content(RunsToJson(runs), "application/json");
    }
  } else if (path == "/") {
    response.set_content(HomePage(options_.web_host), kHtmlType);
  } else if (path == "/excel_plugin.html") {
    response.set_content(HelpPage(options_.web_host), kHtmlType);
  } else if (path == "/UI/Registration.aspx") {
    response.set_content(RegistrationPage(options_.web_host), kHtmlType);
  } else {
    response.status = 404;
    response.set_content(StatusPage(404), kHtmlType);
  }
}

void ProviderServer::ServePage(const std::string& page, const httplib::Request& request,
                               const Body& body, httplib::Response& response) {
  std::optional<Fault> fault = faults_.Take(page);
  if (fault && (fault->kind == FaultKind::kDelay || fault->kind == FaultKind::kTimeout)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(fault->ms));
  }
  if (!fault || fault->kind == FaultKind::kDelay) {
    response.set_content(AnswerPage(page, request, body), kTextType);
    return;
  }
  switch (fault->kind) {
    case FaultKind::kTimeout:
      response.set_content(std::string(kTimedOutReply), kTextType);
      break;
    case FaultKind::kReply:
      response.set_content(fault->body, kTextType);
      break;
    case FaultKind::kStatus:
      response.status = fault->status;
      response.set_content(StatusPage(fault->status), kHtmlType);
      break;
    case FaultKind::kStoredDrop:
      AnswerPage(page, request, body);
      [[fallthrough]];
    case FaultKind::kDrop:
      // httplib then fails to write the reply and closes the connection.
      DropConnection(request.local_port, request.remote_addr, request.remote_port);
      response.set_header("Connection", "close");
      break;
    case FaultKind::kDelay:
      break;
  }
}

std::string ProviderServer::AnswerPage(const std::string& page, const httplib::Request& request,
                                       const Body& body) {
  std::string_view query = QueryOf(request.target);
  try {
    if (page == "Compose") {
      return AnswerCompose(store_, ComposeRequest{query, request.get_header_value("Content-Type"),
                                                  body.text, body.too_large});
    }
    if (page == "UserValidation") return AnswerUserValidation(store_, query, CurrentUpdate());
    if (page == "GetCreditDetails") return AnswerCreditDetails(store_, query);
    return AnswerSenderId(store_, query);
  } catch (const std::exception& error) {
    // A database failure: the service is unwell, which callers see as failure.
    return "Error : 99 - Internal failure: " + std::string(error.what()) + ".";
  }
}

void ProviderServer::ServeAdmin(const httplib::Request& request, httplib::Response& response) {
  if (!IsLoopback(request.remote_addr)) {
    response.status = 403;
    response.set_content("admin endpoints answer loopback clients only\n", kTextType);
    return;
  }
  std::optional<FormFields> query = ParseForm(QueryOf(request.target));
  if (!query) {
    response.status = 400;
    response.set_content("malformed query\n", kTextType);
    return;
  }
  auto field = [&](const std::string& name) {
    return query->contains(name) ? query->at(name) : std::string();
  };
  if (request.path == "/admin/fault") {
    std::string error;
    std::optional<Fault> fault = ParseFault(*query, &error);
    if (!fault) {
      response.status = 400;
      response.set_content("bad fault: " + error + "\n", kTextType);
      return;
    }
    faults_.Set(*fault);
  } else if (request.path == "/admin/clear") {
    faults_.Clear();
  } else if (request.path == "/admin/update") {
    std::optional<UpdateNotice> update = MakeUpdateNotice(field("kind"), field("url"));
    if (!update) {
      response.status = 400;
      response.set_content("kind must be none, MINOR or MAJOR\n", kTextType);
      return;
    }
    std::lock_guard lock(update_mutex_);
    update_ = *update;
  } else {
    response.status = 404;
    response.set_content("unknown admin endpoint " + request.path + "\n", kTextType);
    return;
  }
  response.set_content("OK\n", kTextType);
}

}  // namespace pelorin::provider
