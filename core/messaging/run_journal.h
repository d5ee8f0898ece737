// The run journal: what every send run wrote down about itself, so that after
// a failure or a crash it is known exactly which packets may have reached the
// service. A packet's entry is saved before its request goes out; its
// outcome after the reply, with the next packet's entry when the run goes on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/clock.h"
#include "core/messaging/send_request.h"

namespace pelorin {

class RunJournalStore;

enum class PacketOutcome {
  kPending,   // the entry is saved, no reply recorded: the request may be out
  kAccepted,  // the service answered with the success text
  kRefused,   // the service answered anything else: it holds nothing of it
  kUnknown,   // no reply came (time-out, dropped connection): it may hold it
  kSkipped,   // was unknown; the user said to count it as accepted
};

// One request of the run, in the order sent. A closing packet carries no
// rows and no records.
struct JournalPacket {
  RowRange rows;  // {0, 0} for a closing packet
  std::string state;
  std::int64_t records = 0;
  std::uint64_t hash = 0;  // of the form-encoded records as sent
  PacketOutcome outcome = PacketOutcome::kPending;
  std::string reply;  // the service's reply when refused
  bool closing() const { return rows.first == 0 && rows.last == 0; }
};

struct JournalRun {
  std::string name;       // the journal's key: the run file name, made unique
  std::string file_name;  // the run file name every packet carried
  std::string user;
  LocalDateTime started;
  std::string workbook;
  std::string sheet;
  std::string mobile_column;
  bool multiple_range = false;
  std::vector<RowRange> ranges;
  std::int64_t packet_size = 0;
  std::string message_template;
  std::uint64_t template_hash = 0;
  std::string sender_id;
  std::string schedule;
  bool flash = false;
  std::vector<JournalPacket> packets;
};

// A stable 64-bit hash (FNV-1a) of records or of a template.
std::uint64_t JournalHash(std::string_view bytes);

// The outcome a reply means: the success text accepts, the transport's own
// "ERROR" (no reply came) leaves it unknown, anything else refuses.
PacketOutcome OutcomeOfReply(std::string_view reply);
std::string_view OutcomeWord(PacketOutcome outcome);

std::string FormatJournalRun(const JournalRun& run);
// Nothing for a text that is not a journal this version wrote.
std::optional<JournalRun> ParseJournalRun(std::string_view text);

// Keeps one run's journal on disk while the run sends. The first write saves
// the run whole; later ones append a line or two, so a packet costs one
// flushed write however long the run: a packet's entry goes out with the
// outcome of the packet before it.
class JournalWriter {
 public:
  // Continues `run` as it is stored (a resumed run).
  JournalWriter(RunJournalStore& store, JournalRun run) : store_(&store), run_(std::move(run)) {}
  JournalWriter(JournalWriter&& other) noexcept;
  JournalWriter& operator=(JournalWriter&&) = delete;
  // Saves an outcome still held back, if it can.
  ~JournalWriter();

  // Saves a new run under its run file name, or with "-2", "-3", ... added
  // when an earlier run in the journal has that name. Throws.
  static JournalWriter Begin(RunJournalStore& store, JournalRun run);

  // Saves the entry of a packet about to be sent, outcome pending. Throws.
  void Sending(JournalPacket packet);
  // Records the outcome the reply means for the packet last entered. An
  // acceptance is saved with the next write (the run goes on); any other
  // outcome at once (the run stops). Throws.
  PacketOutcome Answered(std::string_view reply);
  // Saves an entry that counts `packet` (an unknown one) as accepted.
  void Skipped(JournalPacket packet);
  // Saves an outcome still held back. Call when the run ends. Throws.
  void Flush();

  const JournalRun& run() const { return run_; }

 private:
  // Writes `lines` (the held-back outcome first), or the whole run when
  // nothing was written yet.
  void Write(std::string lines);

  RunJournalStore* store_;
  JournalRun run_;
  bool saved_whole_ = false;
  // The packet whose outcome is recorded but not yet written.
  std::optional<std::size_t> held_back_;
};

// Reads the journal of one run; nothing when it is absent or unreadable.
std::optional<JournalRun> LoadJournalRun(const RunJournalStore& store, std::string_view name);
// Every readable run, oldest first.
std::vector<JournalRun> LoadJournalRuns(const RunJournalStore& store);

}  // namespace pelorin
