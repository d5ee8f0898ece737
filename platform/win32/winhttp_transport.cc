#include "platform/win32/winhttp_transport.h"

#include <windows.h>
#include <winhttp.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

constexpr wchar_t kUserAgent[] = L"Pelorin Excel Plugin/1.0";

class Handle {
 public:
  explicit Handle(HINTERNET handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr) WinHttpCloseHandle(handle_);
  }
  Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
};

[[noreturn]] void Fail(const std::string& step) {
  DWORD code = GetLastError();
  throw TransportError(step + ": " + DescribeError(code, L"winhttp.dll"));
}

struct UrlParts {
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring path_and_query;
  bool secure = false;
};

UrlParts Crack(const std::wstring& url) {
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) Fail("the address is not valid");
  UrlParts cracked;
  cracked.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  cracked.port = parts.nPort;
  cracked.path_and_query.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  cracked.path_and_query.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (cracked.path_and_query.empty()) cracked.path_and_query = L"/";
  cracked.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  return cracked;
}

Handle OpenSession(const HttpRequest& request) {
  if (request.proxy) {
    std::wstring proxy = Utf8ToWide(request.proxy->address + ":" + request.proxy->port);
    Handle session(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.c_str(),
                               WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) Fail("cannot use the proxy " + WideToUtf8(proxy));
    return session;
  }
  Handle session(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) Fail("cannot start an HTTP session");
  return session;
}

void SetTimeouts(HINTERNET session, const HttpRequest& request) {
  if (!request.timeout) return;
  int ms = static_cast<int>(request.timeout->count());
  if (!WinHttpSetTimeouts(session, ms, ms, ms, ms)) Fail("cannot set the time-outs");
}

std::string ReadBody(HINTERNET request) {
  std::string body;
  std::vector<char> chunk;
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request, &available)) Fail("the response was cut off");
    if (available == 0) return body;
    chunk.resize(available);
    DWORD read = 0;
    if (!WinHttpReadData(request, chunk.data(), available, &read)) Fail("the response was cut off");
    if (read == 0) return body;
    body.append(chunk.data(), read);
  }
}

}  // namespace

std::string WinHttpTransport::Post(const HttpRequest& request) {
  UrlParts url = Crack(Utf8ToWide(request.url));
  Handle session = OpenSession(request);
  SetTimeouts(session.get(), request);
  Handle connection(WinHttpConnect(session.get(), url.host.c_str(), url.port, 0));
  if (!connection) Fail("cannot reach the service");
  // The address is sent as the caller built it, never escaped again.
  DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY;
  if (url.secure) flags |= WINHTTP_FLAG_SECURE;
  Handle http(WinHttpOpenRequest(connection.get(), L"POST", url.path_and_query.c_str(), nullptr,
                                 WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (!http) Fail("cannot prepare the request");
  std::wstring headers;
  if (request.content_type) headers = L"Content-Type: " + Utf8ToWide(*request.content_type) + L"\r\n";
  void* body = request.body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(request.body.data());
  DWORD length = static_cast<DWORD>(request.body.size());
  if (!WinHttpSendRequest(http.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                          headers.empty() ? 0 : static_cast<DWORD>(-1L), body, length, length, 0)) {
    Fail("cannot send the request");
  }
  if (!WinHttpReceiveResponse(http.get(), nullptr)) Fail("no response arrived");
  return ReadBody(http.get());
}

}  // namespace pelorin::win32
