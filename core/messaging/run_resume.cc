#include "core/messaging/run_resume.h"

#include <optional>

#include "core/messaging/compose_upload.h"
#include "core/messaging/message_merge.h"
#include "core/messaging/run_summary.h"
#include "core/messaging/send_journal.h"
#include "core/messaging/status_report.h"
#include "core/settings/settings_store.h"

namespace pelorin {
namespace {

std::string RowsText(RowRange rows) {
  return "rows " + std::to_string(rows.first) + "-" + std::to_string(rows.last);
}

std::string PacketName(std::size_t index, RowRange rows) {
  return "packet " + std::to_string(index + 1) + " (" + RowsText(rows) + ")";
}

// A planned packet as the sheet makes it now.
struct Packet {
  std::size_t index = 0;
  RowRange rows;
  std::string body;
  std::int64_t records = 0;
  const JournalPacket* latest = nullptr;  // its last entry in the journal
};

SendRequest RequestOf(const JournalRun& run) {
  SendRequest request;
  request.message_template = run.message_template;
  request.mobile_column = run.mobile_column;
  request.multiple_range = run.multiple_range;
  request.ranges = run.ranges;
  request.schedule = run.schedule;
  request.flash = run.flash;
  request.sender_id = run.sender_id;
  return request;
}

ResumeResult Refusal(std::string message) {
  ResumeResult result;
  result.message = std::move(message);
  return result;
}

// The refusal that stops a resume before anything is sent, if any.
std::optional<std::string> CheckRun(const JournalRun& run, const SettingsStore& settings) {
  const std::string user = settings.SessionUserId();
  if (user.empty()) return "nobody is logged in: log in as " + run.user + " to resume it";
  if (user != run.user) return "sent by " + run.user + ": log in as " + run.user + " to resume it";
  if (JournalHash(run.message_template) != run.template_hash)
    return "its journal is damaged: the template does not match its hash";
  if (run.packet_size < 1) return "it stopped before its first packet: send it again instead";
  return std::nullopt;
}

}  // namespace

ResumeResult RunResume::Resume(UnknownPackets unknown) {
  const std::string about = "run " + run_.name + ": ";
  if (std::optional<std::string> refusal = CheckRun(run_, context_.settings))
    return Refusal(about + *refusal);

  // Every packet merged afresh; one that was sent must still make what it sent.
  MessageMerge merge(sheet_, run_.mobile_column, MessageTemplate(run_.message_template));
  std::vector<Packet> packets;
  const std::vector<RowRange> plan = PlannedPackets(run_);
  for (std::size_t i = 0; i < plan.size(); ++i) {
    Packet packet{i, plan[i], ComposeUpload::StartBody(), 0, LatestEntry(run_, plan[i])};
    std::int64_t empty_rows = 0;
    packet.records = static_cast<std::int64_t>(
        merge.AppendEncodedRecords(packet.rows, empty_rows, packet.body));
    if (packet.latest != nullptr && JournalHash(packet.body) != packet.latest->hash) {
      return Refusal(about + PacketName(i, packet.rows) +
                     " no longer holds what was sent: the sheet has changed. Nothing was sent.");
    }
    packets.push_back(std::move(packet));
  }

  const JournalPacket* last_entry = run_.packets.empty() ? nullptr : &run_.packets.back();
  const bool closing_unknown =
      last_entry != nullptr && last_entry->closing() && MayHaveArrived(last_entry->outcome);
  if (unknown == UnknownPackets::kStop) {
    std::string unknowns;
    for (const Packet& packet : packets) {
      if (packet.latest == nullptr || !MayHaveArrived(packet.latest->outcome)) continue;
      unknowns += (unknowns.empty() ? "" : ", ") + PacketName(packet.index, packet.rows);
    }
    if (closing_unknown) unknowns += std::string(unknowns.empty() ? "" : ", ") + "the closing packet";
    if (!unknowns.empty()) {
      return Refusal(about + unknowns +
                     " went out and no reply came: the service may hold it. Nothing was sent. "
                     "--resend-unknown sends it again; --skip-unknown counts it as accepted.");
    }
  }

  JournalWriter journal(store_, run_);
  std::vector<const Packet*> to_send;
  for (const Packet& packet : packets) {
    if (packet.latest != nullptr && Delivered(packet.latest->outcome)) continue;
    if (packet.latest != nullptr && MayHaveArrived(packet.latest->outcome) &&
        unknown == UnknownPackets::kSkip) {
      journal.Skipped(*packet.latest);
      continue;
    }
    if (packet.records > 0) to_send.push_back(&packet);
  }
  if (closing_unknown && unknown == UnknownPackets::kSkip) journal.Skipped(*last_entry);

  const RunSummary summary = Summarize(journal.run());
  if (summary.closed) {
    if (to_send.empty()) {
      ResumeResult done;
      done.outcome = ResumeResult::Outcome::kCompleted;
      done.message = about + "the service holds every packet; nothing to send";
      return done;
    }
    return Refusal(about + "the service has closed it, so " +
                   PacketName(to_send.front()->index, to_send.front()->rows) +
                   " cannot join it. Nothing was sent.");
  }

  const SendRequest request = RequestOf(run_);
  ComposeUpload upload(context_, request, run_.file_name);
  ResumeResult result;
  result.outcome = ResumeResult::Outcome::kCompleted;
  const bool one_packet_run = !run_.multiple_range && plan.size() == 1;
  const std::string_view last_state = one_packet_run ? compose::kAll : compose::kEnd;
  auto send = [&](std::string body, std::string_view state, RowRange rows, std::int64_t records,
                  std::string what) {
    std::string reply = JournaledUpload(&journal, upload, std::move(body), state, rows, records);
    const PacketOutcome outcome = OutcomeOfReply(reply);
    std::string line = what + " " + std::string(state) + ": " + std::string(OutcomeWord(outcome));
    if (outcome == PacketOutcome::kRefused) line += " (" + reply + ")";
    result.lines.push_back(std::move(line));
    return outcome == PacketOutcome::kAccepted;
  };
  for (std::size_t i = 0; i < to_send.size(); ++i) {
    const Packet& packet = *to_send[i];
    const bool last = i + 1 == to_send.size();
    if (!send(packet.body, last ? last_state : compose::kStart, packet.rows, packet.records,
              PacketName(packet.index, packet.rows))) {
      result.outcome = ResumeResult::Outcome::kFailed;
      result.message = about + "stopped: the rest stays to be resumed";
      return result;
    }
  }
  // Nothing of the selection is left: the service still waits for the end.
  if (to_send.empty() &&
      !send(ComposeUpload::StartBody(), compose::kEnd, {0, 0}, 0, "closing packet")) {
    result.outcome = ResumeResult::Outcome::kFailed;
    result.message = about + "the service did not accept the closing packet";
    return result;
  }
  journal.Flush();
  result.message = about + "completed";
  return result;
}

}  // namespace pelorin
