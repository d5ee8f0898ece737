#include "core/messaging/run_journal.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "core/host/run_journal_store.h"
#include "core/messaging/status_report.h"
#include "core/service/service_client.h"
#include "core/text/whole_number.h"

namespace pelorin {
namespace {

// "pelorin-run 1", then one "key value" line per field, then one "packet"
// line per request, each perhaps followed by an "outcome" line. Values run to
// the end of their line; "%", CR and LF in them are written as "%25", "%0D"
// and "%0A".
constexpr std::string_view kMagic = "pelorin-run 1";

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '%') {
      out += "%25";
    } else if (c == '\r') {
      out += "%0D";
    } else if (c == '\n') {
      out += "%0A";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      std::string_view code = text.substr(i + 1, 2);
      if (code == "25") out += '%';
      else if (code == "0D") out += '\r';
      else if (code == "0A") out += '\n';
      else out += text.substr(i, 3);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string_view> Words(std::string_view line, std::size_t count) {
  std::vector<std::string_view> words;
  while (words.size() + 1 < count) {
    std::size_t space = line.find(' ');
    if (space == std::string_view::npos) break;
    words.push_back(line.substr(0, space));
    line.remove_prefix(space + 1);
  }
  words.push_back(line);
  return words;
}

std::string RangesText(const std::vector<RowRange>& ranges) {
  std::string text;
  for (const RowRange& range : ranges) {
    if (!text.empty()) text += ',';
    text += std::to_string(range.first) + "-" + std::to_string(range.last);
  }
  return text;
}

std::optional<std::vector<RowRange>> ParseRanges(std::string_view text) {
  std::vector<RowRange> ranges;
  while (!text.empty()) {
    std::string_view item = text.substr(0, text.find(','));
    text.remove_prefix(std::min(text.size(), item.size() + 1));
    std::size_t dash = item.find('-');
    RowRange range;
    if (dash == std::string_view::npos || !ParseWholeNumber(item.substr(0, dash), range.first) ||
        !ParseWholeNumber(item.substr(dash + 1), range.last)) {
      return std::nullopt;
    }
    ranges.push_back(range);
  }
  if (ranges.empty()) return std::nullopt;
  return ranges;
}

constexpr PacketOutcome kOutcomes[] = {PacketOutcome::kPending, PacketOutcome::kAccepted,
                                       PacketOutcome::kRefused, PacketOutcome::kUnknown,
                                       PacketOutcome::kSkipped};

std::string PacketLine(const JournalPacket& packet) {
  return "packet " + std::to_string(packet.rows.first) + " " + std::to_string(packet.rows.last) +
         " " + packet.state + " " + std::to_string(packet.records) + " " + HexText(packet.hash) + " " +
         std::string(OutcomeWord(packet.outcome)) + " " + Escape(packet.reply);
}

// "outcome WORD REPLY": the outcome of the packet on the last packet line
// before it, appended once the reply came.
std::string OutcomeLine(const JournalPacket& packet) {
  return "outcome " + std::string(OutcomeWord(packet.outcome)) + " " + Escape(packet.reply);
}

std::optional<PacketOutcome> ParseOutcomeWord(std::string_view word) {
  auto outcome = std::find_if(std::begin(kOutcomes), std::end(kOutcomes),
                              [&](PacketOutcome o) { return OutcomeWord(o) == word; });
  if (outcome == std::end(kOutcomes)) return std::nullopt;
  return *outcome;
}

bool ParseOutcomeLine(std::string_view rest, JournalPacket& packet) {
  std::vector<std::string_view> words = Words(rest, 2);
  std::optional<PacketOutcome> outcome = ParseOutcomeWord(words[0]);
  if (words.size() != 2 || !outcome) return false;
  packet.outcome = *outcome;
  packet.reply = Unescape(words[1]);
  return true;
}

std::optional<JournalPacket> ParsePacketLine(std::string_view rest) {
  std::vector<std::string_view> words = Words(rest, 7);
  if (words.size() != 7) return std::nullopt;
  JournalPacket packet;
  packet.state = std::string(words[2]);
  if (!ParseWholeNumber(words[0], packet.rows.first) || !ParseWholeNumber(words[1], packet.rows.last) ||
      !ParseWholeNumber(words[3], packet.records) || !ParseWholeNumber(words[4], packet.hash, 16)) {
    return std::nullopt;
  }
  std::optional<PacketOutcome> outcome = ParseOutcomeWord(words[5]);
  if (!outcome) return std::nullopt;
  packet.outcome = *outcome;
  packet.reply = Unescape(words[6]);
  return packet;
}

std::string StartedText(const LocalDateTime& when) {
  return std::to_string(when.year) + " " + std::to_string(when.month) + " " +
         std::to_string(when.day) + " " + std::to_string(when.hour) + " " +
         std::to_string(when.minute) + " " + std::to_string(when.second);
}

bool ParseStarted(std::string_view text, LocalDateTime& when) {
  std::vector<std::string_view> words = Words(text, 6);
  return words.size() == 6 && ParseWholeNumber(words[0], when.year) &&
         ParseWholeNumber(words[1], when.month) && ParseWholeNumber(words[2], when.day) &&
         ParseWholeNumber(words[3], when.hour) && ParseWholeNumber(words[4], when.minute) &&
         ParseWholeNumber(words[5], when.second);
}

// The header fields by key; false when one is missing or malformed.
bool ParseHeader(const std::map<std::string, std::string, std::less<>>& fields, JournalRun& run) {
  static constexpr const char* kRequired[] = {
      "name",        "file-name",     "user",     "started", "workbook", "sheet",
      "mobile-column", "ranges",      "packet-size", "template-hash", "template", "sender",
      "schedule",    "flash"};
  for (const char* key : kRequired) {
    if (!fields.contains(key)) return false;
  }
  auto field = [&](const char* key) { return Unescape(fields.find(key)->second); };
  run.name = field("name");
  run.file_name = field("file-name");
  run.user = field("user");
  run.workbook = field("workbook");
  run.sheet = field("sheet");
  run.mobile_column = field("mobile-column");
  run.message_template = field("template");
  run.sender_id = field("sender");
  run.schedule = field("schedule");
  run.flash = field("flash") == "Y";
  std::string ranges = field("ranges");
  std::size_t space = ranges.find(' ');
  if (space == std::string::npos) return false;
  run.multiple_range = ranges.substr(0, space) == "multiple";
  std::optional<std::vector<RowRange>> parsed = ParseRanges(ranges.substr(space + 1));
  if (!parsed) return false;
  run.ranges = std::move(*parsed);
  return ParseStarted(field("started"), run.started) &&
         ParseWholeNumber(std::string_view(field("packet-size")), run.packet_size) &&
         ParseWholeNumber(std::string_view(field("template-hash")), run.template_hash, 16);
}

}  // namespace

std::uint64_t JournalHash(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char byte : bytes) {
    hash ^= byte;
    hash *= 1099511628211ull;
  }
  return hash;
}

PacketOutcome OutcomeOfReply(std::string_view reply) {
  if (reply == compose::kSuccess) return PacketOutcome::kAccepted;
  if (reply == kTransportError) return PacketOutcome::kUnknown;
  return PacketOutcome::kRefused;
}

std::string_view OutcomeWord(PacketOutcome outcome) {
  switch (outcome) {
    case PacketOutcome::kPending: return "sent";
    case PacketOutcome::kAccepted: return "accepted";
    case PacketOutcome::kRefused: return "refused";
    case PacketOutcome::kUnknown: return "unknown";
    case PacketOutcome::kSkipped: return "skipped";
  }
  return "unknown";
}

std::string FormatJournalRun(const JournalRun& run) {
  std::string text(kMagic);
  text += '\n';
  auto field = [&](std::string_view key, std::string_view value) {
    text += key;
    text += ' ';
    text += Escape(value);
    text += '\n';
  };
  field("name", run.name);
  field("file-name", run.file_name);
  field("user", run.user);
  field("started", StartedText(run.started));
  field("workbook", run.workbook);
  field("sheet", run.sheet);
  field("mobile-column", run.mobile_column);
  field("ranges", std::string(run.multiple_range ? "multiple " : "simple ") +
                      RangesText(run.ranges));
  field("packet-size", std::to_string(run.packet_size));
  field("template-hash", HexText(run.template_hash));
  field("template", run.message_template);
  field("sender", run.sender_id);
  field("schedule", run.schedule);
  field("flash", run.flash ? "Y" : "N");
  for (const JournalPacket& packet : run.packets) {
    text += PacketLine(packet);
    text += '\n';
  }
  return text;
}

std::optional<JournalRun> ParseJournalRun(std::string_view text) {
  if (!text.starts_with(kMagic) || text.substr(kMagic.size(), 1) != "\n") return std::nullopt;
  text.remove_prefix(kMagic.size() + 1);
  std::map<std::string, std::string, std::less<>> fields;
  JournalRun run;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;  // every line is ended
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    std::string_view key = line.substr(0, space);
    std::string_view rest = line.substr(space + 1);
    if (key == "packet") {
      std::optional<JournalPacket> packet = ParsePacketLine(rest);
      if (!packet) return std::nullopt;
      run.packets.push_back(std::move(*packet));
    } else if (key == "outcome") {
      if (run.packets.empty() || !ParseOutcomeLine(rest, run.packets.back())) return std::nullopt;
    } else {
      fields[std::string(key)] = std::string(rest);
    }
  }
  if (!ParseHeader(fields, run)) return std::nullopt;
  return run;
}

JournalWriter::JournalWriter(JournalWriter&& other) noexcept
    : store_(other.store_),
      run_(std::move(other.run_)),
      saved_whole_(other.saved_whole_),
      held_back_(std::exchange(other.held_back_, std::nullopt)) {}

JournalWriter::~JournalWriter() {
  try {
    Flush();
  } catch (const std::exception&) {
    // The packet then reads as sent without a reply: a resume asks about it.
  }
}

JournalWriter JournalWriter::Begin(RunJournalStore& store, JournalRun run) {
  run.name = run.file_name;
  for (int suffix = 2; store.Load(run.name).has_value(); ++suffix) {
    run.name = run.file_name + "-" + std::to_string(suffix);
  }
  JournalWriter writer(store, std::move(run));
  writer.Write({});
  return writer;
}

void JournalWriter::Sending(JournalPacket packet) {
  packet.outcome = PacketOutcome::kPending;
  run_.packets.push_back(std::move(packet));
  Write(PacketLine(run_.packets.back()) + "\n");
}

PacketOutcome JournalWriter::Answered(std::string_view reply) {
  if (run_.packets.empty()) throw std::logic_error("a reply with no packet sent");
  JournalPacket& packet = run_.packets.back();
  packet.outcome = OutcomeOfReply(reply);
  if (packet.outcome == PacketOutcome::kRefused) packet.reply = std::string(reply);
  held_back_ = run_.packets.size() - 1;
  if (packet.outcome != PacketOutcome::kAccepted) Flush();
  return packet.outcome;
}

void JournalWriter::Skipped(JournalPacket packet) {
  packet.outcome = PacketOutcome::kSkipped;
  packet.reply.clear();
  run_.packets.push_back(std::move(packet));
  Write(PacketLine(run_.packets.back()) + "\n");
}

void JournalWriter::Flush() {
  if (held_back_) Write({});
}

void JournalWriter::Write(std::string lines) {
  try {
    if (!saved_whole_) {
      store_->Save(run_.name, FormatJournalRun(run_));
      saved_whole_ = true;
    } else {
      // Its packet's line is the last one written, so the outcome reads as its.
      if (held_back_) lines.insert(0, OutcomeLine(run_.packets[*held_back_]) + "\n");
      if (!lines.empty()) store_->Append(run_.name, lines);
    }
    held_back_.reset();
  } catch (const std::exception& failure) {
    throw std::runtime_error("cannot write the journal of run " + run_.name + ": " +
                             failure.what());
  }
}

std::optional<JournalRun> LoadJournalRun(const RunJournalStore& store, std::string_view name) {
  std::optional<std::string> text = store.Load(name);
  if (!text) return std::nullopt;
  std::optional<JournalRun> run = ParseJournalRun(*text);
  if (run && run->name != name) return std::nullopt;
  return run;
}

std::vector<JournalRun> LoadJournalRuns(const RunJournalStore& store) {
  std::vector<JournalRun> runs;
  for (const std::string& name : store.Runs()) {
    if (std::optional<JournalRun> run = LoadJournalRun(store, name)) runs.push_back(std::move(*run));
  }
  auto key = [](const JournalRun& run) {
    const LocalDateTime& s = run.started;
    return std::make_tuple(s.year, s.month, s.day, s.hour, s.minute, s.second, run.name);
  };
  std::sort(runs.begin(), runs.end(),
            [&](const JournalRun& a, const JournalRun& b) { return key(a) < key(b); });
  return runs;
}

}  // namespace pelorin
