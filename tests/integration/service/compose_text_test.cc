// Text of every script reaches the service's Compose page intact: the upload
// body is UTF-8, form-encoded by the core and decoded by the service.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "compose_url.h"
#include "posix_addin.h"
#include "provider_process.h"
#include "temp_folder.h"

namespace pelorin::service_test {
namespace {

using ::testing::IsEmpty;
using testing::ProviderProcess;

struct Record {
  std::string mobile, message;
};

std::string RecordsText(const std::vector<Record>& records) {
  std::string text;
  for (const Record& record : records) text += record.mobile + "|*^" + record.message + "~?*";
  return text;
}

class ComposeTextTest : public ::testing::Test {
 protected:
  void SetUp() override { addin_.UseService(provider_.host_port()); }

  // The one run the provider holds for `file_name`.
  nlohmann::json RunNamed(const std::string& file_name) {
    nlohmann::json runs = nlohmann::json::parse(provider_.RunsJson("alice"));
    for (const nlohmann::json& run : runs) {
      if (run.at("filename") == file_name) return run;
    }
    ADD_FAILURE() << "no run " << file_name << " in " << runs.dump();
    return nlohmann::json::object();
  }

  ProviderProcess provider_{{{"alice", "s3cret", 1000, "3", "PELRIN", "code-list", false}}};
  TempFolder folder_;
  PosixAddin addin_{folder_.path()};
};

TEST_F(ComposeTextTest, MessagesArriveDecodedAsSent) {
  struct Case {
    const char* name;
    std::vector<Record> records;
  } cases[] = {
      {"Devanagari", {{"9800000001", "नमस्ते दुनिया, आपका ऑर्डर तैयार है।"}}},
      {"emoji", {{"9800000002", "Party 🎉 at 8 🕗, bring 🍕!"}, {"9800000003", "👍🏽👨‍👩‍👧"}}},
      {"mixed scripts and form characters",
       {{"9800000004", "Ünïcödé & \"quotes\" = 100% + ½ — ok?"},
        {"9800000005", "Zeile 1\nZeile 2\ttab ~ * ^ | end"}}},
      {"blanks kept", {{"9800000006", "  two  blanks  "}}},
  };
  int run_number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file_name = "alice_" + std::to_string(++run_number);
    std::string reply = addin_.service.strHttpPostForm(
        ComposeUrl(provider_.host_port(), "alice", "ALL", file_name), RecordsText(c.records),
        "2026-03-05+21%3A30", "Y");
    EXPECT_EQ(reply, "Error : 0 - SUCCESS.");

    nlohmann::json run = RunNamed(file_name);
    ASSERT_TRUE(run.contains("records"));
    ASSERT_EQ(run["records"].size(), c.records.size());
    for (size_t i = 0; i < c.records.size(); ++i) {
      EXPECT_EQ(run["records"][i]["mobile"], c.records[i].mobile);
      EXPECT_EQ(run["records"][i]["message"], c.records[i].message);
    }
    // Fields 2 and 3 go into the body as given, already form-safe.
    EXPECT_EQ(run["schedule"], "2026-03-05 21:30");
    EXPECT_EQ(run["flash"], "Y");
    EXPECT_EQ(run["closed"], true);
  }
  EXPECT_THAT(addin_.ui.messages, IsEmpty());
}

}  // namespace
}  // namespace pelorin::service_test
