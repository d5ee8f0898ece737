// Where the run journal keeps one text per send run. Every save and append is
// written through (on disk when it returns). A save replaces the old text
// whole; an append adds to its end. A reader, even after the process was
// killed mid-write, sees the text as it stood before that write or after it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The largest journal file a store reads: a journal holds about 100 bytes per
// packet, so this is over a million packets.
inline constexpr std::uint64_t kMaxJournalFileBytes = std::uint64_t{256} << 20;

class RunJournalStore {
 public:
  virtual ~RunJournalStore() = default;
  // Stores `text` as the run's journal. Throws std::runtime_error.
  virtual void Save(std::string_view run, std::string_view text) = 0;
  // Adds `text` to the end of the run's saved journal, so that Load answers
  // the two together: one flush instead of rewriting a growing text. Throws
  // std::runtime_error, also when the run has no saved journal.
  virtual void Append(std::string_view run, std::string_view text) = 0;
  // The run's journal, or nothing when there is none or it cannot be read.
  virtual std::optional<std::string> Load(std::string_view run) const = 0;
  // The names of the stored runs, in no particular order.
  virtual std::vector<std::string> Runs() const = 0;
};

}  // namespace pelorin
