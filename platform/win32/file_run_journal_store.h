// The run journal as per-user files under the local application data, one
// per run, named and framed as the posix store's are, so that a journal
// reads the same wherever it was written. A save replaces the file whole
// (a flushed temporary file moved over it, written through); an append adds
// a framed piece and flushes it, and a piece cut short by a crash is not
// read, nor anything appended after it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/run_journal_store.h"

namespace pelorin::win32 {

class FileRunJournalStore : public RunJournalStore {
 public:
  // The folder (a full path) is created at the first save.
  explicit FileRunJournalStore(std::wstring directory) : directory_(std::move(directory)) {}

  // "Pelorin\runs" in the user's local application data. Never throws:
  // without that folder, every save throws why and nothing is found.
  static FileRunJournalStore ForCurrentUser();

  void Save(std::string_view run, std::string_view text) override;
  void Append(std::string_view run, std::string_view text) override;
  std::optional<std::string> Load(std::string_view run) const override;
  std::vector<std::string> Runs() const override;

  const std::wstring& directory() const { return directory_; }
  std::wstring FileOf(std::string_view run) const;

 private:
  std::wstring directory_;
  std::string unavailable_;  // why there is no folder, or empty
};

}  // namespace pelorin::win32
