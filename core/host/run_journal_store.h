// Where the run journal keeps one text per send run. Every save is written
// through (on disk when it returns) and replaces the old text whole: a reader,
// even after the process was killed mid-save, sees the old or the new text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

class RunJournalStore {
 public:
  virtual ~RunJournalStore() = default;
  // Stores `text` as the run's journal. Throws std::runtime_error.
  virtual void Save(std::string_view run, std::string_view text) = 0;
  // The run's journal, or nothing when there is none or it cannot be read.
  virtual std::optional<std::string> Load(std::string_view run) const = 0;
  // The names of the stored runs, in no particular order.
  virtual std::vector<std::string> Runs() const = 0;
};

}  // namespace pelorin
