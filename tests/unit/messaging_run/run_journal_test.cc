// The run journal: its text survives every value a run can hold, a damaged
// text is refused, a send run saves each packet's entry before the request
// and its outcome after the reply (with the next entry when the run goes on),
// and the run's standing follows from it.
#include "core/messaging/run_journal.h"

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

JournalRun SampleRun() {
  JournalRun run;
  run.name = "u_2026121014305-2";
  run.file_name = "u_2026121014305";
  run.user = "u";
  run.started = {2026, 12, 10, 14, 30, 5};
  run.workbook = "/home/u/My Lists/100% done.xlsx";
  run.sheet = "Sheet 1";
  run.mobile_column = "B";
  run.multiple_range = true;
  run.ranges = {{3, 9}, {35, 71}};
  run.packet_size = 500;
  run.message_template = "Dear |C|,\r\nyour order %0A is 50% ready\n";
  run.template_hash = JournalHash(run.message_template);
  run.sender_id = "PEL RIN";
  run.schedule = "2027-January-15|10|30|10|30";
  run.flash = true;
  run.packets = {
      {{3, 9}, "START", 7, 0xfedcba9876543210ull, PacketOutcome::kAccepted, ""},
      {{35, 71}, "END", 37, 1, PacketOutcome::kRefused, "Error : 2 - Insufficient\nCredits %25."},
      {{0, 0}, "END", 0, 2, PacketOutcome::kPending, ""},
  };
  return run;
}

void ExpectSameRun(const JournalRun& a, const JournalRun& b) {
  EXPECT_EQ(FormatJournalRun(a), FormatJournalRun(b));
  EXPECT_EQ(a.message_template, b.message_template);
  EXPECT_EQ(a.workbook, b.workbook);
  EXPECT_EQ(a.ranges, b.ranges);
  ASSERT_EQ(a.packets.size(), b.packets.size());
  for (std::size_t i = 0; i < a.packets.size(); ++i) {
    EXPECT_EQ(a.packets[i].reply, b.packets[i].reply);
    EXPECT_EQ(a.packets[i].hash, b.packets[i].hash);
    EXPECT_EQ(a.packets[i].outcome, b.packets[i].outcome);
  }
}

TEST(JournalText, KeepsEveryValueThroughAFormatAndParse) {
  const JournalRun run = SampleRun();
  std::optional<JournalRun> back = ParseJournalRun(FormatJournalRun(run));
  ASSERT_TRUE(back.has_value());
  ExpectSameRun(run, *back);
}

TEST(JournalText, RefusesTextsItDidNotWriteWhole) {
  const std::string good = FormatJournalRun(SampleRun());
  auto without_line = [&](std::string_view start) {
    std::string text = good;
    std::size_t at = text.find(std::string("\n") + std::string(start));
    text.erase(at + 1, text.find('\n', at + 1) - at);
    return text;
  };
  auto replaced = [&](std::string_view from, std::string_view to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"last line cut short", good.substr(0, good.size() - 3)},
      {"other magic", replaced("pelorin-run 1", "pelorin-run 2")},
      {"no template hash", without_line("template-hash")},
      {"no ranges", without_line("ranges")},
      {"bad outcome word", replaced(" accepted", " acepted")},
      {"bad row number", replaced("packet 3 9", "packet 3 x9")},
      {"bad range list", replaced("3-9,35-71", "3-9,,35-71")},
      {"outcome before any packet", replaced("packet 3 9", "outcome accepted \npacket 3 9")},
      {"bad appended outcome", good + "outcome acepted \n"},
  };
  for (const auto& [name, text] : cases) {
    EXPECT_FALSE(ParseJournalRun(text).has_value()) << name;
  }
}

TEST(JournalReply, OutcomeFollowsTheReply) {
  const std::pair<const char*, PacketOutcome> cases[] = {
      {kSuccess, PacketOutcome::kAccepted},
      {"ERROR", PacketOutcome::kUnknown},
      {"", PacketOutcome::kRefused},
      {"Error : -1 - Operation Timed Out.", PacketOutcome::kRefused},
      {"Error : 0 - SUCCESS. ", PacketOutcome::kRefused},
  };
  for (const auto& [reply, outcome] : cases) EXPECT_EQ(OutcomeOfReply(reply), outcome) << reply;
}

TEST(JournalWriterTest, ANewRunNeverOverwritesAnEarlierOneOfTheSameName) {
  testing::FakeRunJournalStore store;
  JournalRun run = SampleRun();
  run.packets.clear();
  EXPECT_EQ(JournalWriter::Begin(store, run).run().name, "u_2026121014305");
  EXPECT_EQ(JournalWriter::Begin(store, run).run().name, "u_2026121014305-2");
  EXPECT_EQ(JournalWriter::Begin(store, run).run().name, "u_2026121014305-3");
  EXPECT_EQ(LoadJournalRuns(store).size(), 3u);
}

// The journal as stored after every write of a writer, parsed.
std::vector<JournalRun> StoredRuns(const testing::FakeRunJournalStore& store) {
  std::vector<JournalRun> runs;
  for (const std::string& text : store.saves) {
    std::optional<JournalRun> run = ParseJournalRun(text);
    EXPECT_TRUE(run.has_value()) << text;
    if (run) runs.push_back(std::move(*run));
  }
  return runs;
}

std::vector<std::string> Outcomes(const JournalRun& run) {
  std::vector<std::string> words;
  for (const JournalPacket& packet : run.packets) words.emplace_back(OutcomeWord(packet.outcome));
  return words;
}

JournalPacket Entry(std::int64_t first) {
  return {{first, first + 9}, "START", 10, 7, PacketOutcome::kPending, ""};
}

TEST(JournalWriterTest, EachPacketIsOneAppendThatCarriesTheOutcomeBeforeIt) {
  testing::FakeRunJournalStore store;
  JournalRun run = SampleRun();
  run.packets.clear();
  {
    JournalWriter writer = JournalWriter::Begin(store, run);
    writer.Sending(Entry(1));
    writer.Answered(kSuccess);
    writer.Sending(Entry(11));
    writer.Answered(kSuccess);
    writer.Sending(Entry(21));
    writer.Answered(kNoCredit);  // the run stops: written at once
    writer.Sending(Entry(31));
    writer.Answered(kSuccess);
    writer.Flush();
    writer.Flush();  // nothing held back: nothing written
  }
  const std::vector<JournalRun> stored = StoredRuns(store);
  using Words = std::vector<std::string>;
  const std::vector<Words> expected = {
      {},
      {"sent"},
      {"accepted", "sent"},
      {"accepted", "accepted", "sent"},
      {"accepted", "accepted", "refused"},
      {"accepted", "accepted", "refused", "sent"},
      {"accepted", "accepted", "refused", "accepted"},
  };
  ASSERT_EQ(stored.size(), expected.size());
  for (std::size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(Outcomes(stored[i]), expected[i]) << i;
  EXPECT_EQ(store.appends, 6) << "one whole save, then appends only";
  EXPECT_EQ(stored.back().packets[2].reply, kNoCredit);
}

TEST(JournalWriterTest, AnAcceptanceHeldBackIsWrittenWhenTheWriterGoes) {
  testing::FakeRunJournalStore store;
  JournalRun run = SampleRun();
  run.packets.clear();
  std::string name;
  {
    std::optional<JournalWriter> moved_from;
    moved_from.emplace(JournalWriter::Begin(store, run));
    moved_from->Sending(Entry(1));
    moved_from->Answered(kSuccess);
    JournalWriter writer(std::move(*moved_from));
    moved_from.reset();  // the outcome went with the move: nothing written
    EXPECT_EQ(Outcomes(*LoadJournalRun(store, writer.run().name)),
              std::vector<std::string>{"sent"});
    name = writer.run().name;
  }
  EXPECT_EQ(Outcomes(*LoadJournalRun(store, name)), std::vector<std::string>{"accepted"});
}

TEST(JournalWriterTest, AResumedRunIsSavedWholeBeforeItIsAppendedTo) {
  // What a crash cut short at the end of the stored journal is not read, and
  // must not hide what the resume adds after it.
  testing::FakeRunJournalStore store;
  JournalRun run = SampleRun();
  run.packets.resize(1);
  store.Save(run.name, FormatJournalRun(run) + "packet 35 71 END 37 1 se");
  JournalWriter writer(store, *ParseJournalRun(FormatJournalRun(run)));
  writer.Sending(Entry(35));
  EXPECT_EQ(store.appends, 0);
  EXPECT_EQ(store.saves.back(), FormatJournalRun(writer.run()));
}

struct StandingCase {
  const char* name;
  std::vector<JournalPacket> packets;
  RunStanding standing;
  std::int64_t accepted;
};

TEST(RunSummaryTest, StandingAndAcceptedPackets) {
  using O = PacketOutcome;
  const StandingCase cases[] = {
      {"nothing sent", {}, RunStanding::kUnfinished, 0},
      {"all sent and closed",
       {{{1, 10}, "START", 10, 0, O::kAccepted, ""}, {{11, 15}, "END", 5, 0, O::kAccepted, ""}},
       RunStanding::kCompleted, 2},
      {"killed before the second",
       {{{1, 10}, "START", 10, 0, O::kAccepted, ""}},
       RunStanding::kUnfinished, 1},
      {"refused then resumed",
       {{{1, 10}, "START", 10, 0, O::kRefused, "x"},
        {{1, 10}, "START", 10, 0, O::kAccepted, ""},
        {{11, 15}, "END", 5, 0, O::kAccepted, ""}},
       RunStanding::kCompleted, 2},
      {"refused",
       {{{1, 10}, "START", 10, 0, O::kAccepted, ""}, {{11, 15}, "END", 5, 0, O::kRefused, "x"}},
       RunStanding::kFailed, 1},
      {"killed while waiting for a reply",
       {{{1, 10}, "START", 10, 0, O::kPending, ""}},
       RunStanding::kUnknown, 0},
      {"skipped counts as accepted",
       {{{1, 10}, "START", 10, 0, O::kUnknown, ""},
        {{1, 10}, "START", 10, 0, O::kSkipped, ""},
        {{11, 15}, "END", 5, 0, O::kAccepted, ""}},
       RunStanding::kCompleted, 2},
      {"closing packet without a reply",
       {{{1, 10}, "START", 10, 0, O::kAccepted, ""},
        {{11, 15}, "START", 5, 0, O::kAccepted, ""},
        {{0, 0}, "END", 0, 0, O::kUnknown, ""}},
       RunStanding::kUnknown, 2},
  };
  for (const StandingCase& c : cases) {
    JournalRun run = SampleRun();
    run.multiple_range = false;
    run.ranges = {{1, 15}};
    run.packet_size = 10;
    run.packets = c.packets;
    const RunSummary summary = Summarize(run);
    EXPECT_EQ(summary.standing, c.standing) << c.name;
    EXPECT_EQ(summary.packets_accepted, c.accepted) << c.name;
    EXPECT_EQ(summary.packets, 2) << c.name;
    EXPECT_EQ(summary.rows, 15) << c.name;
  }
}

// A send run with a journal.
class JournaledSendTest : public ::testing::Test {
 protected:
  JournaledSendTest() {
    t.LogIn("u");
    t.settings.SavePacketSize("10");
    t.context.run_journal = &store;
    for (std::int64_t row = 1; row <= 25; ++row) {
      sheet().Set("B", row, "9" + std::to_string(row));
      sheet().Set("C", row, "n" + std::to_string(row));
    }
    owner.Show();
  }
  testing::FakeWorksheet& sheet() { return t.application.sheet; }

  SendRequest Request(std::vector<RowRange> ranges, bool multiple) {
    SendRequest request;
    request.message_template = "Hi |C|";
    request.mobile_column = "B";
    request.multiple_range = multiple;
    request.ranges = std::move(ranges);
    request.sender_id = "PELRN";
    return request;
  }
  SendRunResult Run(const SendRequest& request) {
    SendRun run(t.context, sheet());
    return run.Run(request, popup);
  }
  std::vector<std::string> States() const {
    std::vector<std::string> states;
    for (const HttpRequest& request : t.transport.requests)
      states.push_back(testing::ReadComposePost(request).query.at("state"));
    return states;
  }

  testing::FakeRunJournalStore store;
  testing::TestAddin t;
  testing::OwnerForm owner{t.ui};
  frmPopup popup{t.ui, &owner};
};

TEST_F(JournaledSendTest, EachEntryIsSavedBeforeItsRequestAndItsOutcomeAfterTheReply) {
  std::deque<std::string> replies = {kSuccess, kNoCredit};
  std::vector<std::string> seen_before_request;
  t.transport.responder = [&](const HttpRequest&) {
    // What the journal says at the moment the request goes out.
    std::optional<std::string> text = store.Load(store.Runs().front());
    std::optional<JournalRun> run = ParseJournalRun(*text);
    const JournalPacket& last = run->packets.back();
    seen_before_request.push_back(std::to_string(last.rows.first) + "-" +
                                  std::to_string(last.rows.last) + " " + last.state + " " +
                                  std::string(OutcomeWord(last.outcome)));
    std::string reply = replies.front();
    replies.pop_front();
    return reply;
  };
  const SendRunResult result = Run(Request({{1, 25}}, false));
  EXPECT_EQ(seen_before_request, (std::vector<std::string>{"1-10 START sent", "11-20 START sent"}));

  std::optional<JournalRun> run = LoadJournalRun(store, result.journal_name);
  ASSERT_TRUE(run.has_value());
  EXPECT_EQ(run->file_name, result.run_file_name);
  EXPECT_EQ(run->user, "u");
  EXPECT_EQ(run->packet_size, 10);
  ASSERT_EQ(run->packets.size(), 2u);
  EXPECT_EQ(run->packets[0].outcome, PacketOutcome::kAccepted);
  EXPECT_EQ(run->packets[0].records, 10);
  EXPECT_EQ(run->packets[1].outcome, PacketOutcome::kRefused);
  EXPECT_EQ(run->packets[1].reply, kNoCredit);
  EXPECT_EQ(Summarize(*run).standing, RunStanding::kFailed);
}

TEST_F(JournaledSendTest, ATransportFailureLeavesThePacketUnknown) {
  t.transport.responder = [](const HttpRequest&) -> std::string {
    throw TransportError("The connection was reset");
  };
  const SendRunResult result = Run(Request({{1, 5}}, false));
  std::optional<JournalRun> run = LoadJournalRun(store, result.journal_name);
  ASSERT_TRUE(run.has_value());
  ASSERT_EQ(run->packets.size(), 1u);
  EXPECT_EQ(run->packets[0].state, "ALL");
  EXPECT_EQ(run->packets[0].outcome, PacketOutcome::kUnknown);
}

TEST_F(JournaledSendTest, TheStatusWindowAndTheRequestsAreThoseOfARunWithoutJournal) {
  struct Case {
    const char* name;
    std::vector<RowRange> ranges;
    bool multiple;
    std::vector<std::string> replies;
  };
  const Case cases[] = {
      {"simple, closing packet", {{1, 20}}, false, {}},
      {"simple, refused", {{1, 25}}, false, {kSuccess, kNoCredit}},
      {"multiple", {{1, 5}, {6, 25}}, true, {}},
      {"simple, one packet", {{1, 5}}, false, {}},
  };
  for (const Case& c : cases) {
    std::string texts[2];
    std::vector<std::string> urls[2];
    for (int journaled = 0; journaled < 2; ++journaled) {
      t.transport.requests.clear();
      t.context.run_journal = journaled ? &store : nullptr;
      std::deque<std::string> replies(c.replies.begin(), c.replies.end());
      t.transport.responder = [&](const HttpRequest&) {
        if (replies.empty()) return std::string(kSuccess);
        std::string reply = replies.front();
        replies.pop_front();
        return reply;
      };
      texts[journaled] = Run(Request(c.ranges, c.multiple)).status_text;
      for (const HttpRequest& request : t.transport.requests) urls[journaled].push_back(request.url);
    }
    EXPECT_EQ(texts[0], texts[1]) << c.name;
    EXPECT_EQ(urls[0], urls[1]) << c.name;
  }
}

TEST_F(JournaledSendTest, AJournalThatCannotBeWrittenSendsNothing) {
  store.fail_saves = true;
  t.transport.responder = [](const HttpRequest&) { return std::string(kSuccess); };
  const SendRunResult result = Run(Request({{1, 25}}, false));
  EXPECT_TRUE(t.transport.requests.empty());
  EXPECT_NE(result.outcome, SendOutcome::kCompleted);
  EXPECT_NE(result.error.find("disk full"), std::string::npos) << result.error;
}

TEST_F(JournaledSendTest, AMultipleRangeRunWithARefusedPacketStaysOpenForAResume) {
  // Without a journal the run is closed quietly after the failure; with
  // one, a resume finishes it under the same name.
  for (RunJournalStore* journal : {static_cast<RunJournalStore*>(nullptr),
                                   static_cast<RunJournalStore*>(&store)}) {
    t.transport.requests.clear();
    t.context.run_journal = journal;
    std::deque<std::string> replies = {kSuccess, kNoCredit};
    t.transport.responder = [&](const HttpRequest&) {
      if (replies.empty()) return std::string(kSuccess);
      std::string reply = replies.front();
      replies.pop_front();
      return reply;
    };
    // The last item's rows are empty: it sends nothing, so no packet ended
    // the run.
    Run(Request({{1, 5}, {6, 10}, {30, 31}}, true));
    std::vector<std::string> expected = {"START", "START"};
    if (journal == nullptr) expected.push_back("END");
    EXPECT_EQ(States(), expected) << (journal ? "journaled" : "no journal");
  }
}

}  // namespace
}  // namespace pelorin
