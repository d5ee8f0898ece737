#include "platform/posix/curl_transport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "local_http_server.h"
#include "scoped_variable.h"
#include "scratch_directory.h"
#include "tests/support/logging_proxy.h"

namespace pelorin::posix {
namespace {

using ::testing::HasSubstr;
using testing::LocalHttpServer;
using testing::ScopedVariable;
using testing::ScratchDirectory;
using testing::LoggingProxy;
using testing::UnusedLoopbackPort;

std::string What(CurlTransport& transport, const HttpRequest& request) {
  try {
    transport.Post(request);
  } catch (const TransportError& error) {
    return error.what();
  }
  return "<no error>";
}

class CurlTransportTest : public ::testing::Test {
 protected:
  HttpRequest Request(const std::string& path, std::string body = {}) const {
    HttpRequest request;
    request.url = server_.Url(path);
    request.body = std::move(body);
    return request;
  }

  LocalHttpServer server_;
  CurlTransport transport_;
};

TEST_F(CurlTransportTest, SendsTheBodyAndContentTypeAsGiven) {
  struct Case {
    const char* label;
    std::optional<std::string> content_type;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"form upload", "application/x-www-form-urlencoded",
       "variable1=a%2Db+c&variable2=1&variable3=0"},
      {"no body, no header", std::nullopt, ""},
      {"body without a header", std::nullopt, "raw"},
      {"UTF-8 body", "text/plain; charset=utf-8", "Grüße 😀"},
      {"large body", "text/plain", std::string(3'000'000, 'r')},
  };
  for (const Case& c : cases) {
    HttpRequest request = Request("/echo?uid=u&ip=1.2.3.4", c.body);
    request.content_type = c.content_type;
    EXPECT_TRUE(transport_.Post(request) == "echo:" + c.body) << c.label;

    testing::ReceivedRequest received = server_.requests().back();
    EXPECT_EQ(received.method, "POST") << c.label;
    EXPECT_EQ(received.path, "/echo") << c.label;
    EXPECT_TRUE(received.body == c.body) << c.label;
    EXPECT_EQ(received.content_type, c.content_type) << c.label;
    EXPECT_EQ(received.expect, std::nullopt) << c.label;
  }
}

TEST_F(CurlTransportTest, AnswersTheBodyWhateverTheStatus) {
  EXPECT_EQ(transport_.Post(Request("/fail")), "<html><body>Internal failure</body></html>");
  EXPECT_THAT(transport_.Post(Request("/no-such-page")), ::testing::Not(HasSubstr("echo")));
}

TEST_F(CurlTransportTest, FollowsARedirectWithTheSameRequest) {
  EXPECT_EQ(transport_.Post(Request("/moved", "packet")), "echo:packet");
}

TEST_F(CurlTransportTest, OpensANewConnectionForEveryRequest) {
  transport_.Post(Request("/echo"));
  transport_.Post(Request("/echo"));
  std::vector<testing::ReceivedRequest> received = server_.requests();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_NE(received[0].remote_port, received[1].remote_port);
}

TEST_F(CurlTransportTest, AShortTimeOutEndsTheWait) {
  HttpRequest request = Request("/slow");
  request.timeout = std::chrono::milliseconds(200);
  EXPECT_THAT(What(transport_, request), HasSubstr("timed out"));
}

TEST_F(CurlTransportTest, ProxyVariablesOfTheEnvironmentAreIgnored) {
  const std::string nowhere = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort());
  ScopedVariable lower("http_proxy", nowhere);
  ScopedVariable upper("HTTP_PROXY", nowhere);
  ScopedVariable all("ALL_PROXY", nowhere);
  EXPECT_EQ(transport_.Post(Request("/echo", "direct")), "echo:direct");
}

TEST_F(CurlTransportTest, UsesTheRequestsProxy) {
  std::optional<std::string> program = LoggingProxy::InstalledProgram();
  if (!program) GTEST_SKIP() << "tinyproxy is not installed";
  ScratchDirectory scratch;
  LoggingProxy proxy(*program, scratch.path());
  // Even a no_proxy list that names the server does not bypass it.
  ScopedVariable bypass("no_proxy", "127.0.0.1,localhost");

  HttpRequest request = Request("/echo", "via proxy");
  request.proxy = HttpProxy{"127.0.0.1", std::to_string(proxy.port())};
  EXPECT_EQ(transport_.Post(request), "echo:via proxy");
  ASSERT_EQ(server_.requests().size(), 1u);
  EXPECT_THAT(server_.requests()[0].via.value_or(""), HasSubstr("tinyproxy"));
}

TEST_F(CurlTransportTest, AProxyThatIsDownFailsTheRequest) {
  HttpRequest request = Request("/echo");
  request.proxy = HttpProxy{"127.0.0.1", std::to_string(UnusedLoopbackPort())};
  EXPECT_THROW(transport_.Post(request), TransportError);
  EXPECT_TRUE(server_.requests().empty()) << "the request went around the proxy";
}

TEST(CurlTransportFailureTest, FailuresCarryCurlsDescription) {
  CurlTransport transport;
  struct Case {
    const char* label;
    std::string url;
    const char* description;
  };
  const std::vector<Case> cases = {
      {"refused", "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/x",
       "onnect"},
      {"not a web address", "file:///etc/hostname", "rotocol"},
      {"malformed", "http://[::1/", "URL"},
  };
  for (const Case& c : cases) {
    HttpRequest request;
    request.url = c.url;
    request.timeout = std::chrono::milliseconds(5000);
    EXPECT_THAT(What(transport, request), HasSubstr(c.description)) << c.label;
  }
}

}  // namespace
}  // namespace pelorin::posix
