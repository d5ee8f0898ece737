#include "core/messaging/run_summary.h"

#include <algorithm>

#include "core/messaging/status_report.h"

namespace pelorin {

std::vector<RowRange> PlannedPackets(const JournalRun& run) {
  std::vector<RowRange> packets;
  if (run.packet_size < 1) return packets;
  for (const RowRange& range : run.ranges) {
    for (std::int64_t first = range.first; first <= range.last; first += run.packet_size) {
      packets.push_back({first, std::min(range.last, first + run.packet_size - 1)});
    }
  }
  return packets;
}

const JournalPacket* LatestEntry(const JournalRun& run, RowRange rows) {
  for (auto it = run.packets.rbegin(); it != run.packets.rend(); ++it) {
    if (it->rows == rows) return &*it;
  }
  return nullptr;
}

bool Delivered(PacketOutcome outcome) {
  return outcome == PacketOutcome::kAccepted || outcome == PacketOutcome::kSkipped;
}

bool MayHaveArrived(PacketOutcome outcome) {
  return outcome == PacketOutcome::kPending || outcome == PacketOutcome::kUnknown;
}

std::string_view StandingWord(RunStanding standing) {
  switch (standing) {
    case RunStanding::kCompleted: return "completed";
    case RunStanding::kFailed: return "failed";
    case RunStanding::kUnknown: return "unknown";
    case RunStanding::kUnfinished: return "unfinished";
  }
  return "unfinished";
}

RunSummary Summarize(const JournalRun& run) {
  RunSummary summary;
  for (const RowRange& range : run.ranges) {
    summary.rows += std::max<std::int64_t>(0, range.last - range.first + 1);
  }
  bool refused = false;
  bool unknown = false;
  for (const RowRange& rows : PlannedPackets(run)) {
    ++summary.packets;
    const JournalPacket* entry = LatestEntry(run, rows);
    if (entry == nullptr) continue;
    if (Delivered(entry->outcome)) ++summary.packets_accepted;
    refused |= entry->outcome == PacketOutcome::kRefused;
    unknown |= MayHaveArrived(entry->outcome);
  }
  for (const JournalPacket& packet : run.packets) {
    const bool closes = packet.state == compose::kEnd || packet.state == compose::kAll;
    if (closes && Delivered(packet.outcome)) summary.closed = true;
    // A closing packet has no rows of its own: its latest try is the last.
    if (packet.closing() && &packet == &run.packets.back()) {
      unknown |= MayHaveArrived(packet.outcome);
      refused |= packet.outcome == PacketOutcome::kRefused;
    }
  }
  if (unknown) {
    summary.standing = RunStanding::kUnknown;
  } else if (refused) {
    summary.standing = RunStanding::kFailed;
  } else if (summary.closed) {
    summary.standing = RunStanding::kCompleted;
  }
  return summary;
}

}  // namespace pelorin
