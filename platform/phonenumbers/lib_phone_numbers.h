// PhoneNumbers backed by libphonenumber's numbering-plan data: parsing,
// validity and number type are all the library's.
#pragma once

#include <absl/container/flat_hash_map.h>

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

#include "core/host/phone_numbers.h"

namespace pelorin::phonenumbers {

class LibPhoneNumbers : public PhoneNumbers {
 public:
  // Each of the two answer caches holds at most this many entries (72 and
  // 40 bytes each) and is emptied when it is full, so memory stays bounded
  // on any list: about 7 MiB together. The open-addressing maps fill 7/8 of
  // their slots, so 7/8 of a power of two wastes none.
  static constexpr std::size_t kCacheEntries = (1 << 16) / 8 * 7;

  // Silences the library's own log lines: a number that does not parse is
  // an answer here, not an event.
  explicit LibPhoneNumbers(std::size_t cache_entries = kCacheEntries);

  NumberReading Read(std::string_view text, std::string_view region) const override;
  bool IsKnownRegion(std::string_view region) const override;

 private:
  // Lists repeat numbers, as the same text or written another way, and the
  // library spends most of its time in regular expressions: a text already
  // read in a region is answered from `readings_`, and a number already typed
  // (keyed by its E.164 form, which holds all the type depends on) from `kinds_`.
  // Open-addressing maps: on a list of distinct numbers every read is a miss
  // and an insert, and a node per entry cost a fifth of the read.
  std::size_t cache_entries_;
  mutable std::mutex mutex_;
  mutable absl::flat_hash_map<std::string, NumberReading> readings_;
  mutable absl::flat_hash_map<std::string, NumberKind> kinds_;
};

}  // namespace pelorin::phonenumbers
