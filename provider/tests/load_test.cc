// Many requests in a row, good and bad mixed, leave the server healthy and
// its bookkeeping exact.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

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

// Two clients at once, each its own run of START packets closed by END:
// every record lands, in order, and the credit is charged exactly.
TEST(LoadTest, TwoClientsAtOnceLoseNoRecord) {
  ProviderProcess provider({{"alice", "pw", 1000000, "0", "ABC", "code-list", false}});
  constexpr int kPackets = 200;
  constexpr int kRecords = 20;
  auto upload = [&provider](int client, int* accepted) {
    Client http(provider);
    const std::string filename = "client_" + std::to_string(client);
    for (int p = 0; p < kPackets; ++p) {
      Records records;
      for (int r = 0; r < kRecords; ++r) {
        records.emplace_back(std::to_string(client) + "9" + std::to_string(p * kRecords + r),
                             "packet " + std::to_string(p) + " record " + std::to_string(r));
      }
      const char* state = p + 1 == kPackets ? "END" : "START";
      if (http.Compose("alice", state, filename, RecordText(records)) == kSuccess) ++*accepted;
    }
  };
  int accepted[2] = {0, 0};
  std::thread first(upload, 1, &accepted[0]);
  std::thread second(upload, 2, &accepted[1]);
  first.join();
  second.join();
  EXPECT_EQ(accepted[0], kPackets);
  EXPECT_EQ(accepted[1], kPackets);

  nlohmann::json runs = Runs(provider, "alice");
  ASSERT_EQ(runs.size(), 2u);
  for (const auto& run : runs) {
    EXPECT_TRUE(run.at("closed").get<bool>());
    Records records = RecordsOf(run);
    ASSERT_EQ(records.size(), static_cast<size_t>(kPackets * kRecords));
    const std::string client = run.at("filename").get<std::string>().substr(7);
    for (size_t i = 0; i < records.size(); ++i) {
      ASSERT_EQ(records[i].first, client + "9" + std::to_string(i)) << "record " << i;
    }
  }
  Client client(provider);
  EXPECT_EQ(client.Page("GetCreditDetails.aspx?uid=alice&ticks=1"),
            std::to_string(1000000 - 2 * kPackets * kRecords));
}

// The write-ahead log is checkpointed as the server runs, so however many
// runs arrive it stays near SQLite's checkpoint threshold (1000 pages, 4 MiB)
// while the records move on into the database itself.
TEST(LoadTest, TwentyRunsLeaveTheWriteAheadLogBounded) {
  ProviderProcess provider({{"alice", "pw", 100000000, "0", "ABC", "code-list", false}});
  Client client(provider);
  client.http().set_tcp_nodelay(true);
  constexpr int kRuns = 20;
  constexpr int kPackets = 8;
  constexpr int kRecords = 500;
  const std::string message(120, 'm');
  std::uintmax_t largest_log = 0;
  for (int run = 0; run < kRuns; ++run) {
    const std::string filename = "run_" + std::to_string(run);
    for (int p = 0; p < kPackets; ++p) {
      Records records;
      for (int r = 0; r < kRecords; ++r) {
        records.emplace_back("9198" + std::to_string(10000000 + p * kRecords + r), message);
      }
      const char* state = p + 1 == kPackets ? "END" : "START";
      ASSERT_EQ(client.Compose("alice", state, filename, RecordText(records)), kSuccess)
          << "run " << run << " packet " << p;
    }
    largest_log = std::max(largest_log, std::filesystem::file_size(provider.db_path() + "-wal"));
  }
  const std::uintmax_t stored = std::filesystem::file_size(provider.db_path());
  // About 11 MiB of records went in: most of them must have left the log.
  EXPECT_GT(stored, std::uintmax_t{8} << 20);
  EXPECT_LT(largest_log, std::uintmax_t{6} << 20) << "database " << stored << " bytes";
  EXPECT_EQ(Runs(provider, "alice").size(), static_cast<size_t>(kRuns));
}

}  // namespace
}  // namespace pelorin::provider_test
