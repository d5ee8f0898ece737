// Clients that trickle their requests a byte at a time do not keep the
// service from answering everyone else.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "provider_client.h"

namespace pelorin::provider_test {
namespace {

using testing::ProviderProcess;

int Connect(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

TEST(SlowClientTest, TricklingClientsDoNotStarveTheOthers) {
  ProviderProcess provider({{"alice", "pw", 1000, "0", "ABC", "code-list", false}});
  constexpr int kSlowClients = 12;
  std::atomic<bool> done{false};
  std::vector<std::thread> slow;
  for (int i = 0; i < kSlowClients; ++i) {
    slow.emplace_back([&] {
      const std::string request = "POST /PelorinExcelplugin02022012/GetCreditDetails.aspx?uid=alice HTTP/1.1\r\n";
      // A new connection whenever the server drops one, a byte every two
      // seconds on each, for as long as the test runs (at most a minute).
      for (int round = 0; round < 30 && !done; ++round) {
        int fd = Connect(provider.port());
        if (fd < 0) return;
        for (std::size_t at = 0; at < request.size() && !done; ++at) {
          if (::send(fd, &request[at], 1, MSG_NOSIGNAL) != 1) break;
          for (int tick = 0; tick < 20 && !done; ++tick) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
          }
        }
        ::close(fd);
      }
    });
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // all slow ones connected

  // Every worker a slow client held would make these wait; the client gives
  // up after five seconds, far more than an answer takes.
  Client client(provider);
  client.http().set_read_timeout(std::chrono::seconds(5));
  client.http().set_connection_timeout(std::chrono::seconds(5));
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(client.Page("GetCreditDetails.aspx?uid=alice&ticks=" + std::to_string(i)), "1000")
        << "request " << i;
  }
  done = true;
  for (std::thread& thread : slow) thread.join();
}

}  // namespace
}  // namespace pelorin::provider_test
