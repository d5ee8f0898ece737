#include "compose_page.h"

#include <cctype>
#include <optional>

#include "compose_records.h"
#include "form_codec.h"
#include "provider_store.h"

namespace pelorin::provider {
namespace {

std::string_view FixedText(ComposeError error) {
  switch (error) {
    case ComposeError::kUnknownUser: return "Invalid User ID";
    case ComposeError::kInsufficientCredit: return "Insufficient Credits";
    case ComposeError::kMalformedRecord: return "Malformed record";
    case ComposeError::kRunClosed: return "Run already closed";
    case ComposeError::kUnknownState: return "Unknown state";
    case ComposeError::kNotFormEncoded: return "Request is not form-encoded or has no variable1";
    case ComposeError::kBodyTooLarge: return "Request body too large";
    case ComposeError::kInvalidUtf8: return "Invalid UTF-8 in request";
    case ComposeError::kMissingFileName: return "Missing file name";
  }
  return "Unknown failure";
}

bool IsFormContentType(std::string_view content_type) {
  if (content_type.empty()) return true;
  std::string lowered(content_type.substr(0, content_type.find(';')));
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  while (!lowered.empty() && lowered.back() == ' ') lowered.pop_back();
  return lowered == "application/x-www-form-urlencoded";
}

std::string Field(const FormFields& fields, const std::string& name) {
  auto it = fields.find(name);
  return it == fields.end() ? std::string() : it->second;
}

// Decodes the query and body into a packet, or answers why it cannot.
std::optional<std::string> DecodePacket(const ComposeRequest& request, Packet& packet) {
  if (request.body_too_large) return ComposeFailure(ComposeError::kBodyTooLarge);
  std::optional<FormFields> query = ParseForm(request.query);
  std::optional<FormFields> body = ParseForm(request.body);
  if (!query || !body || !IsFormContentType(request.content_type) ||
      !body->contains("variable1")) {
    return ComposeFailure(ComposeError::kNotFormEncoded);
  }
  if (!AllValidUtf8(*query) || !AllValidUtf8(*body)) {
    return ComposeFailure(ComposeError::kInvalidUtf8);
  }
  packet.uid = Field(*query, "uid");
  packet.filename = Field(*query, "filename");
  packet.sid = Field(*query, "sid");
  packet.catid = Field(*query, "catid");
  packet.ip = Field(*query, "ip");
  packet.state = Field(*query, "state");
  packet.schedule = Field(*body, "variable2");
  packet.flash = Field(*body, "variable3");
  if (packet.state != "START" && packet.state != "END" && packet.state != "ALL") {
    return ComposeFailure(ComposeError::kUnknownState);
  }
  if (packet.uid.empty()) return ComposeFailure(ComposeError::kUnknownUser);
  if (packet.filename.empty()) return ComposeFailure(ComposeError::kMissingFileName);

  RecordSplit split = SplitRecords(Field(*body, "variable1"));
  if (!split.ok()) {
    return ComposeFailure(ComposeError::kMalformedRecord,
                          " " + std::to_string(split.bad_record) + " at character " +
                              std::to_string(split.bad_offset + 1) + " " + split.problem);
  }
  packet.records = std::move(split.records);
  return std::nullopt;
}

}  // namespace

std::string ComposeFailure(ComposeError error, std::string_view detail) {
  std::string reply = "Error : " + std::to_string(static_cast<int>(error)) + " - ";
  reply += FixedText(error);
  reply += detail;
  reply += ".";
  return reply;
}

std::string AnswerCompose(ProviderStore& store, const ComposeRequest& request) {
  Packet packet;
  if (std::optional<std::string> failure = DecodePacket(request, packet)) return *failure;
  switch (store.StorePacket(packet)) {
    case PacketOutcome::kAccepted: return std::string(kComposeSuccess);
    case PacketOutcome::kUnknownUser: return ComposeFailure(ComposeError::kUnknownUser);
    case PacketOutcome::kInsufficientCredit:
      return ComposeFailure(ComposeError::kInsufficientCredit);
    case PacketOutcome::kRunClosed: return ComposeFailure(ComposeError::kRunClosed);
  }
  return ComposeFailure(ComposeError::kUnknownUser);
}

}  // namespace pelorin::provider
