// What a run's journal says about it as a whole: its packets by rows, which
// of them the service holds, and how the run stands.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/messaging/run_journal.h"

namespace pelorin {

// The rows of every packet the run's selection makes, in order: each range
// cut into packets of the run's packet size.
std::vector<RowRange> PlannedPackets(const JournalRun& run);

// The latest entry sent for these rows, or null when none was.
const JournalPacket* LatestEntry(const JournalRun& run, RowRange rows);

// Accepted, or counted as accepted by the user.
bool Delivered(PacketOutcome outcome);
// Pending or unknown: the service may or may not hold it.
bool MayHaveArrived(PacketOutcome outcome);

enum class RunStanding {
  kCompleted,   // the service closed the run and holds every packet sent
  kFailed,      // the service refused a packet
  kUnknown,     // a packet went out and no reply is known
  kUnfinished,  // stopped before its end without a refusal
};
std::string_view StandingWord(RunStanding standing);

struct RunSummary {
  std::int64_t rows = 0;              // rows selected, empty ones included
  std::int64_t packets = 0;           // packets the selection makes
  std::int64_t packets_accepted = 0;  // of those, delivered
  bool closed = false;                // a closing state was accepted
  RunStanding standing = RunStanding::kUnfinished;
};

RunSummary Summarize(const JournalRun& run);

}  // namespace pelorin
