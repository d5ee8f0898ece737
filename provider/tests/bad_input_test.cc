// Hostile or broken requests: each gets a failure answer, the server stays
// healthy and the stored runs stay as they were.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <unistd.h>

#include "provider_client.h"

namespace pelorin::provider_test {
namespace {

using testing::ProviderProcess;

constexpr size_t kMaxBody = 64 * 1024;

class BadInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(client_.Compose("alice", "START", "kept", "1|*^first~?*"), kSuccess);
    before_ = provider_.RunsJson();
  }

  void ExpectHealthyAndUnchanged() {
    EXPECT_EQ(provider_.RunsJson(), before_);
    EXPECT_EQ(client_.Page("GetCreditDetails.aspx?uid=alice&ticks=1"), "99");
    EXPECT_EQ(client_.Compose("alice", "END", "kept", "2|*^second~?*"), kSuccess);
  }

  // Sends raw bytes and answers whatever comes back before the server closes.
  std::string RawExchange(const std::string& bytes) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(provider_.port()));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    timeval timeout{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string reply;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      shutdown(fd, SHUT_WR);
      char buffer[4096];
      ssize_t got = 0;
      while ((got = recv(fd, buffer, sizeof buffer, 0)) > 0) reply.append(buffer, got);
    }
    close(fd);
    return reply;
  }

  ProviderProcess provider_{{{"alice", "pw", 100, "3", "ABC", "code-list", false}},
                            {"--max-body", std::to_string(kMaxBody)}};
  Client client_{provider_};
  std::string before_;
};

TEST_F(BadInputTest, MalformedComposeBodiesGetErrorReplies) {
  struct Case {
    const char* name;
    std::string body;
    const char* type;
    const char* reply_prefix;
  } cases[] = {
      {"json body", R"({"variable1":"1|*^a~?*"})", "application/json", "Error : 6 - "},
      {"form body typed as json", ComposeBody("1|*^a~?*"), "application/json", "Error : 6 - "},
      {"plain text", "just some words", "text/plain", "Error : 6 - "},
      {"truncated escape", "variable1=1%7C%2A%5Ea%2", kFormType, "Error : 6 - "},
      {"binary junk without variable1", std::string("\x00\xFF\xFE=\x01&&==", 10), kFormType, "Error : 6 - "},
      {"overlong UTF-8", "variable1=1%7C%2A%5E%C0%AF", kFormType, "Error : 8 - "},
      {"surrogate", "variable1=1%7C%2A%5E%ED%A0%80", kFormType, "Error : 8 - "},
      {"raw invalid byte", "variable1=1%7C%2A%5E\xFF", kFormType, "Error : 8 - "},
      {"separator only", "variable1=%7C%2A%5E", kFormType, "Error : 3 - "},
      {"oversized", ComposeBody(std::string(kMaxBody, 'x')), kFormType, "Error : 7 - "},
  };
  for (const Case& c : cases) {
    httplib::Result result = client_.Post(ComposePath("alice", "END", "kept"), c.body, c.type);
    ASSERT_TRUE(result) << c.name;
    EXPECT_EQ(result->body.rfind(c.reply_prefix, 0), 0u) << c.name << ": " << result->body;
  }
  ExpectHealthyAndUnchanged();
}

TEST_F(BadInputTest, MultipartBodyIsNotAForm) {
  httplib::MultipartFormDataItems items = {{"variable1", "1|*^a~?*", "", ""}};
  httplib::Result result = client_.http().Post(ComposePath("alice", "END", "kept").c_str(), items);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->body.rfind("Error : 6 - ", 0), 0u) << result->body;
  ExpectHealthyAndUnchanged();
}

TEST_F(BadInputTest, OversizedBodyJustOverTheLimitIsRefusedWhole) {
  std::string records;
  while (records.size() < kMaxBody) records += "919800000000|*^padding padding~?*";
  std::string body = ComposeBody(records);
  ASSERT_GT(body.size(), kMaxBody);
  EXPECT_EQ(client_.http()
                .Post(ComposePath("alice", "END", "kept").c_str(), body, kFormType)
                ->body,
            "Error : 7 - Request body too large.");
  ExpectHealthyAndUnchanged();
}

TEST_F(BadInputTest, MalformedQueriesGetEachPagesFailureForm) {
  struct Case {
    const char* page_and_query;
    const char* reply;
  } cases[] = {
      {"UserValidation.aspx?uid=alice&pwd=pw%zz", "FAIL@#$&Invalid Login ID or Password"},
      {"UserValidation.aspx?uid=alice%FF&pwd=pw", "FAIL@#$&Invalid Login ID or Password"},
      {"UserValidation.aspx", "FAIL@#$&Invalid Login ID or Password"},
      {"GetCreditDetails.aspx?uid=%", "0"},
      {"GetCreditDetails.aspx?uid=alice%C3", "0"},
      {"GetSenderID.aspx?uid=%G0", "0"},
      {"GetSenderID.aspx?&&&=&", "0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(client_.Page(c.page_and_query), c.reply) << c.page_and_query;
  }
  EXPECT_EQ(client_.Page("Compose.aspx?uid=alice&state=END&filename=kept%"),
            "Error : 6 - Request is not form-encoded or has no variable1.");
  ExpectHealthyAndUnchanged();
}

TEST_F(BadInputTest, GarbledHttpDoesNotHurtTheServer) {
  const std::string inputs[] = {
      "GARBAGE\r\n\r\n",
      "POST /PelorinExcelplugin02022012/Compose.aspx?uid=alice HTTP/1.1\r\n"
      "Content-Length: 100\r\n\r\nshort",
      "POST /PelorinExcelplugin02022012/Compose.aspx HTTP/1.1\r\nTransfer-Encoding: chunked"
      "\r\n\r\nZZZ\r\n",
      std::string(20000, 'A') + "\r\n\r\n",
      "GET /" + std::string(10000, '%') + " HTTP/1.1\r\n\r\n",
  };
  for (const std::string& input : inputs) RawExchange(input);
  ExpectHealthyAndUnchanged();
}

TEST_F(BadInputTest, AdminEndpointsOnlyTakeKnownRequests) {
  for (const char* path : {"/admin/nothing", "/admin/update?kind=SOON"}) {
    httplib::Result result = client_.Post(path);
    ASSERT_TRUE(result) << path;
    EXPECT_NE(result->status, 200) << path;
  }
  ExpectHealthyAndUnchanged();
}

}  // namespace
}  // namespace pelorin::provider_test
