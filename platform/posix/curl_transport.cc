#include "platform/posix/curl_transport.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <new>

#include "platform/posix/curl_timeouts.h"

namespace pelorin::posix {
namespace {

constexpr long kMaxRedirects = 10;
constexpr const char* kWebProtocols = "http,https";

struct EasyCleanup {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct HeadersCleanup {
  void operator()(curl_slist* headers) const { curl_slist_free_all(headers); }
};
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;
using HeaderList = std::unique_ptr<curl_slist, HeadersCleanup>;

void InitialiseCurlOnce() {
  static std::once_flag once;
  // A throw leaves the flag unset, so a later transport tries again.
  std::call_once(once, [] {
    CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (result != CURLE_OK) throw TransportError(curl_easy_strerror(result));
  });
}

template <typename Value>
void SetOption(CURL* easy, CURLoption option, Value value) {
  CURLcode result = curl_easy_setopt(easy, option, value);
  if (result != CURLE_OK) throw TransportError(curl_easy_strerror(result));
}

size_t AppendBody(char* data, size_t size, size_t count, void* target) {
  try {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
  } catch (const std::bad_alloc&) {
    return 0;  // makes curl stop with a write error
  }
}

HeaderList AddHeader(HeaderList headers, const char* header) {
  curl_slist* grown = curl_slist_append(headers.get(), header);
  if (grown == nullptr) throw TransportError("out of memory while preparing the request");
  headers.release();
  return HeaderList(grown);
}

// curl adds a form content type to every POST unless told to drop it, and an
// "Expect: 100-continue" round trip before large bodies.
HeaderList RequestHeaders(const HttpRequest& request) {
  HeaderList headers;
  std::string content_type = "Content-Type:";
  if (request.content_type) content_type += " " + *request.content_type;
  headers = AddHeader(std::move(headers), content_type.c_str());
  return AddHeader(std::move(headers), "Expect:");
}

void SetProxy(CURL* easy, const HttpRequest& request) {
  // The empty text turns off the http_proxy and all_proxy variables; an
  // empty no-proxy list keeps no_proxy from bypassing a configured proxy.
  std::string proxy;
  if (request.proxy) proxy = request.proxy->address + ":" + request.proxy->port;
  SetOption(easy, CURLOPT_PROXY, proxy.c_str());
  SetOption(easy, CURLOPT_NOPROXY, "");
  SetOption(easy, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
}

void SetTimeouts(CURL* easy, const HttpRequest& request) {
  CurlTimeouts timeouts = TimeoutsFor(request.timeout);
  SetOption(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
  SetOption(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(timeouts.overall.count()));
  SetOption(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  SetOption(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeouts.stall.count()));
}

void SetRequest(CURL* easy, const HttpRequest& request, curl_slist* headers) {
  SetOption(easy, CURLOPT_URL, request.url.c_str());
  SetOption(easy, CURLOPT_POST, 1L);
  SetOption(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
  SetOption(easy, CURLOPT_POSTFIELDS, request.body.c_str());
  SetOption(easy, CURLOPT_HTTPHEADER, headers);
  SetOption(easy, CURLOPT_PROTOCOLS_STR, kWebProtocols);
  SetOption(easy, CURLOPT_REDIR_PROTOCOLS_STR, kWebProtocols);
  SetOption(easy, CURLOPT_FOLLOWLOCATION, 1L);
  SetOption(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
}

void SetConnection(CURL* easy) {
  // Nothing is carried from one request to the next.
  SetOption(easy, CURLOPT_FRESH_CONNECT, 1L);
  SetOption(easy, CURLOPT_FORBID_REUSE, 1L);
  // Signals would disturb the host; resolver time-outs then rely on the
  // threaded resolver.
  SetOption(easy, CURLOPT_NOSIGNAL, 1L);
}

}  // namespace

CurlTransport::CurlTransport() { InitialiseCurlOnce(); }

std::string CurlTransport::Post(const HttpRequest& request) {
  EasyHandle easy(curl_easy_init());
  if (!easy) throw TransportError("cannot start an HTTP request");
  HeaderList headers = RequestHeaders(request);
  std::string body;
  char error[CURL_ERROR_SIZE] = {};

  SetRequest(easy.get(), request, headers.get());
  SetProxy(easy.get(), request);
  SetTimeouts(easy.get(), request);
  SetConnection(easy.get());
  SetOption(easy.get(), CURLOPT_ERRORBUFFER, error);
  SetOption(easy.get(), CURLOPT_WRITEFUNCTION, &AppendBody);
  SetOption(easy.get(), CURLOPT_WRITEDATA, static_cast<void*>(&body));

  CURLcode result = curl_easy_perform(easy.get());
  if (result != CURLE_OK) {
    throw TransportError(error[0] != '\0' ? error : curl_easy_strerror(result));
  }
  return body;
}

}  // namespace pelorin::posix
