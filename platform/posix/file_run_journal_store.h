// The run journal as private per-user files, one per run. A save replaces the
// file atomically and durably as the settings files are; an append adds a
// framed piece and flushes it, and a piece cut short by a crash is not read,
// nor anything appended after it (a writer saves whole before appending to a
// journal it did not save itself).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/run_journal_store.h"

namespace pelorin::posix {

// $XDG_STATE_HOME/pelorin/runs, else ~/.local/state/pelorin/runs; empty or
// relative variables are ignored. Throws std::runtime_error when neither
// names an absolute path.
std::filesystem::path RunJournalDirectory(const std::optional<std::string>& xdg_state_home,
                                          const std::optional<std::string>& home);

class FileRunJournalStore : public RunJournalStore {
 public:
  // The folder is created (mode 0700) at the first save.
  explicit FileRunJournalStore(std::filesystem::path directory)
      : directory_(std::move(directory)) {}

  // The folder the environment names for this user. Never throws: without
  // one, every save throws why and nothing is found.
  static FileRunJournalStore FromEnvironment();

  void Save(std::string_view run, std::string_view text) override;
  void Append(std::string_view run, std::string_view text) override;
  std::optional<std::string> Load(std::string_view run) const override;
  std::vector<std::string> Runs() const override;

  const std::filesystem::path& directory() const { return directory_; }
  std::filesystem::path FileOf(std::string_view run) const;

 private:
  std::filesystem::path directory_;
  std::string unavailable_;  // why there is no folder, or empty
};

}  // namespace pelorin::posix
