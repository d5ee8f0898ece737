// Splitting of an uploaded packet's record text into (mobile, message)
// records: records end with "~?*", and each holds the mobile number, "|*^"
// and the message.
#ifndef PELORIN_PROVIDER_COMPOSE_RECORDS_H_
#define PELORIN_PROVIDER_COMPOSE_RECORDS_H_

#include <string>
#include <string_view>
#include <vector>

namespace pelorin::provider {

inline constexpr std::string_view kRecordTerminator = "~?*";
inline constexpr std::string_view kFieldSeparator = "|*^";

struct MessageRecord {
  std::string mobile;
  std::string message;
  bool operator==(const MessageRecord&) const = default;
};

// The records of a packet, or the first record that could not be read.
struct RecordSplit {
  std::vector<MessageRecord> records;
  // Set when a record is malformed: its 1-based number, the offset of its
  // first character in the text, and what is wrong with it.
  size_t bad_record = 0;
  size_t bad_offset = 0;
  std::string problem;

  bool ok() const { return bad_record == 0; }
};

// Splits `text` at every terminator; the empty piece after a final
// terminator is not a record, so "" and "a|*^b~?*" hold 0 and 1 records.
// A record splits at its first separator, so the message may contain more.
RecordSplit SplitRecords(std::string_view text);

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_COMPOSE_RECORDS_H_
