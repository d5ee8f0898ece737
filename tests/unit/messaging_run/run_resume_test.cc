// Resuming a run from its journal: only what the service does not hold is
// sent, under the run's name, START until the last packet, which ends it;
// unknown packets stop it unless the user says what to do, and a changed
// sheet is refused before anything is sent.
#include "core/messaging/run_resume.h"

#include <gtest/gtest.h>

#include "core/messaging/popup_form.h"
#include "core/messaging/run_summary.h"
#include "core/messaging/send_run.h"
#include "tests/support/fakes/fake_run_journal_store.h"
#include "tests/support/fakes/test_addin.h"
#include "tests/unit/messaging_run/compose_capture.h"
#include "tests/unit/messaging_run/owner_form.h"

namespace pelorin {
namespace {

constexpr const char* kSuccess = "Error : 0 - SUCCESS.";
constexpr const char* kNoCredit = "Error : 2 - Insufficient Credits.";
constexpr const char* kDrop = "<drop>";  // the request goes out, no reply comes

using Outcome = ResumeResult::Outcome;

// A sheet of rows 1..50 sent in packets of ten, with a scripted service.
class RunResumeTest : public ::testing::Test {
 protected:
  RunResumeTest() {
    t.LogIn("u");
    t.settings.SavePacketSize("10");
    t.context.run_journal = &store;
    for (std::int64_t row = 1; row <= 50; ++row) {
      sheet().Set("B", row, "9" + std::to_string(row));
      sheet().Set("C", row, "n" + std::to_string(row));
    }
    t.transport.responder = [this](const HttpRequest&) {
      if (replies.empty()) return std::string(kSuccess);
      std::string reply = replies.front();
      replies.pop_front();
      if (reply == kDrop) throw TransportError("The connection was reset");
      return reply;
    };
    owner.Show();
  }
  testing::FakeWorksheet& sheet() { return t.application.sheet; }

  // Sends rows `ranges` with the replies given, then forgets its requests.
  std::string Send(std::vector<RowRange> ranges, std::deque<std::string> script,
                   bool multiple = false) {
    replies = std::move(script);
    SendRequest request;
    request.message_template = "Hi |C|";
    request.mobile_column = "B";
    request.multiple_range = multiple;
    request.ranges = std::move(ranges);
    request.sender_id = "PELRN";
    SendRun run(t.context, sheet());
    const SendRunResult result = run.Run(request, popup);
    file_name = result.run_file_name;
    t.transport.requests.clear();
    replies.clear();
    return result.journal_name;
  }

  ResumeResult Resume(const std::string& name, UnknownPackets unknown,
                      std::deque<std::string> script = {}) {
    replies = std::move(script);
    std::optional<JournalRun> run = LoadJournalRun(store, name);
    EXPECT_TRUE(run.has_value());
    RunResume resume(t.context, store, *run, sheet());
    return resume.Resume(unknown);
  }

  // "rows-first state" of every request sent since the last Send.
  std::vector<std::string> Sent() const {
    std::vector<std::string> sent;
    for (const HttpRequest& request : t.transport.requests) {
      testing::ComposePost post = testing::ReadComposePost(request);
      EXPECT_EQ(post.query.at("filename"), file_name);
      std::string first_mobile = post.body.at("variable1").substr(0, post.body.at("variable1").find('|'));
      sent.push_back((post.records ? first_mobile : std::string("empty")) + " " +
                     post.query.at("state") + " " + std::to_string(post.records));
    }
    return sent;
  }

  RunStanding Standing(const std::string& name) const {
    return Summarize(*LoadJournalRun(store, name)).standing;
  }

  testing::FakeRunJournalStore store;
  testing::TestAddin t;
  testing::OwnerForm owner{t.ui};
  frmPopup popup{t.ui, &owner};
  std::deque<std::string> replies;
  std::string file_name;
};

TEST_F(RunResumeTest, ARefusedPacketAndTheRestAreSentOnceAndTheRunEnds) {
  const std::string name = Send({{1, 50}}, {kSuccess, kSuccess, kNoCredit});
  const ResumeResult result = Resume(name, UnknownPackets::kStop);
  EXPECT_EQ(result.outcome, Outcome::kCompleted) << result.message;
  EXPECT_EQ(Sent(), (std::vector<std::string>{"921 START 10", "931 START 10", "941 END 10"}));
  EXPECT_EQ(Standing(name), RunStanding::kCompleted);
  // Nothing is left: a second resume sends nothing.
  EXPECT_EQ(Resume(name, UnknownPackets::kStop).outcome, Outcome::kCompleted);
  EXPECT_EQ(t.transport.requests.size(), 3u);
}

TEST_F(RunResumeTest, AnUnknownPacketStopsUnlessTheUserSaysWhatToDo) {
  struct Case {
    UnknownPackets unknown;
    Outcome outcome;
    std::vector<std::string> sent;
  };
  const Case cases[] = {
      {UnknownPackets::kStop, Outcome::kRefused, {}},
      {UnknownPackets::kSkip, Outcome::kCompleted, {"931 START 10", "941 END 10"}},
      {UnknownPackets::kResend, Outcome::kCompleted, {"921 START 10", "931 START 10", "941 END 10"}},
  };
  for (const Case& c : cases) {
    const std::string name = Send({{1, 50}}, {kSuccess, kSuccess, kDrop});
    const ResumeResult result = Resume(name, c.unknown);
    EXPECT_EQ(result.outcome, c.outcome) << result.message;
    EXPECT_EQ(Sent(), c.sent);
    if (c.unknown == UnknownPackets::kStop) {
      EXPECT_NE(result.message.find("packet 3 (rows 21-30)"), std::string::npos) << result.message;
      EXPECT_EQ(Standing(name), RunStanding::kUnknown);
    } else {
      EXPECT_EQ(Standing(name), RunStanding::kCompleted);
    }
    t.transport.requests.clear();
    // Each case a run of its own second.
    t.clock.now.second += 1;
  }
}

TEST_F(RunResumeTest, AChangedSheetIsRefusedNamingTheFirstPacketThatDiffers) {
  const std::string name = Send({{1, 50}}, {kSuccess, kSuccess, kNoCredit});
  sheet().Set("C", 25, "changed");  // in packet 3, which was refused
  sheet().Set("B", 15, "");         // in packet 2, which was accepted
  const ResumeResult result = Resume(name, UnknownPackets::kStop);
  EXPECT_EQ(result.outcome, Outcome::kRefused);
  EXPECT_NE(result.message.find("packet 2 (rows 11-20)"), std::string::npos) << result.message;
  EXPECT_TRUE(t.transport.requests.empty());
}

TEST_F(RunResumeTest, WhatTheRunNeverReachedIsSent) {
  // The process died after the second packet's reply: no entry for the rest.
  const std::string name = Send({{1, 50}}, {kSuccess, kSuccess});
  JournalRun run = *LoadJournalRun(store, name);
  run.packets.resize(2);
  store.Save(name, FormatJournalRun(run));
  EXPECT_EQ(Standing(name), RunStanding::kUnfinished);
  EXPECT_EQ(Resume(name, UnknownPackets::kStop).outcome, Outcome::kCompleted);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"921 START 10", "931 START 10", "941 END 10"}));
}

TEST_F(RunResumeTest, OnlyTheClosingPacketLeftIsSentAlone) {
  // Rows 1-20 end on a packet boundary; the empty END was refused.
  const std::string name = Send({{1, 20}}, {kSuccess, kSuccess, kNoCredit});
  EXPECT_EQ(Resume(name, UnknownPackets::kStop).outcome, Outcome::kCompleted);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"empty END 0"}));
}

TEST_F(RunResumeTest, AOnePacketRunIsResentAsTheOnePacket) {
  const std::string name = Send({{1, 5}}, {kNoCredit});
  EXPECT_EQ(Resume(name, UnknownPackets::kStop).outcome, Outcome::kCompleted);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"91 ALL 5"}));
}

TEST_F(RunResumeTest, AMultipleRangeRunSendsTheItemsLeftAndEnds) {
  const std::string name = Send({{1, 5}, {6, 10}, {11, 15}}, {kSuccess, kNoCredit, kSuccess}, true);
  // The last item ended the run at the service: its other rows cannot join.
  EXPECT_EQ(Resume(name, UnknownPackets::kStop).outcome, Outcome::kRefused);
  EXPECT_TRUE(t.transport.requests.empty());

  t.clock.now.second += 1;
  const std::string open = Send({{1, 5}, {6, 10}, {60, 61}}, {kSuccess, kNoCredit}, true);
  const ResumeResult resumed = Resume(open, UnknownPackets::kStop);
  EXPECT_EQ(resumed.outcome, Outcome::kCompleted) << resumed.message;
  EXPECT_EQ(Sent(), (std::vector<std::string>{"96 END 5"}));
}

TEST_F(RunResumeTest, AnotherUserCannotResumeTheRun) {
  const std::string name = Send({{1, 50}}, {kSuccess, kNoCredit});
  t.LogIn("someone_else");
  const ResumeResult result = Resume(name, UnknownPackets::kStop);
  EXPECT_EQ(result.outcome, Outcome::kRefused);
  EXPECT_NE(result.message.find("log in as u"), std::string::npos) << result.message;
  EXPECT_TRUE(t.transport.requests.empty());
}

TEST_F(RunResumeTest, ARefusalDuringTheResumeLeavesTheRestForTheNext) {
  const std::string name = Send({{1, 50}}, {kSuccess, kNoCredit});
  EXPECT_EQ(Resume(name, UnknownPackets::kStop, {kSuccess, kNoCredit}).outcome, Outcome::kFailed);
  t.transport.requests.clear();
  EXPECT_EQ(Resume(name, UnknownPackets::kStop).outcome, Outcome::kCompleted);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"921 START 10", "931 START 10", "941 END 10"}));
}

}  // namespace
}  // namespace pelorin
