// Many requests in a row, good and bad mixed, leave the server healthy and
// its bookkeeping exact.
#include <gtest/gtest.h>

#include "provider_client.h"

namespace pelorin::provider_test {
namespace {

using testing::ProviderProcess;

TEST(LoadTest, ThousandsOfMixedRequestsKeepItHealthy) {
  ProviderProcess provider({{"alice", "pw", 1000000, "0", "ABC", "code-list", false}});
  Client client(provider);
  constexpr int kRounds = 1500;
  int accepted = 0;
  for (int i = 0; i < kRounds; ++i) {
    std::string filename = "load_" + std::to_string(i);
    if (client.Compose("alice", "ALL", filename, "9198" + std::to_string(i) + "|*^hi~?*") ==
        kSuccess) {
      ++accepted;
    }
    client.Post(std::string(kPrefix) + "Compose.aspx?uid=alice&state=ALL&filename=x",
                "\xff\xfe not a form", "text/plain");
    client.Get("/no/such/page?" + std::string(200, '%'));
  }
  EXPECT_EQ(accepted, kRounds);
  EXPECT_EQ(client.Page("GetCreditDetails.aspx?uid=alice&ticks=1"),
            std::to_string(1000000 - kRounds));
  EXPECT_EQ(Runs(provider, "alice").size(), static_cast<size_t>(kRounds));
}

}  // namespace
}  // namespace pelorin::provider_test
