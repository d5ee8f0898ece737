// How many SMS segments a message takes: the GSM 03.38 default alphabet in
// 7-bit septets when every character has a place in it, else UCS-2.
#pragma once

#include <cstdint>
#include <string_view>

namespace pelorin {

enum class MessageEncoding {
  kGsm7,  // the default alphabet; a character of its extension table takes two septets
  kUcs2,  // 16-bit units; a character outside the basic plane takes two
};

// The units of one message part: alone, and in a concatenated message whose
// parts each give some of their room to the header that joins them.
inline constexpr std::int64_t kGsmSingleSegment = 160;
inline constexpr std::int64_t kGsmConcatenatedSegment = 153;
inline constexpr std::int64_t kUcs2SingleSegment = 70;
inline constexpr std::int64_t kUcs2ConcatenatedSegment = 67;

struct MessageCost {
  MessageEncoding encoding = MessageEncoding::kGsm7;
  std::int64_t units = 0;     // septets for GSM, 16-bit units for UCS-2
  std::int64_t segments = 1;  // an empty message is still one message
  friend bool operator==(const MessageCost&, const MessageCost&) = default;
};

// The cost of a UTF-8 message. A two-unit character (an escaped GSM
// character, a UTF-16 surrogate pair) is never split between two parts, so
// a long message can need one part more than its units alone suggest. A
// malformed UTF-8 byte counts as the Latin-1 character of the same value.
MessageCost CountSegments(std::string_view utf8_message);

// "GSM 7-bit" or "UCS-2", as reports name them.
std::string_view EncodingName(MessageEncoding encoding);

}  // namespace pelorin
