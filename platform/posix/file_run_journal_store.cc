#include "platform/posix/file_run_journal_store.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include "platform/posix/value_file.h"

namespace pelorin::posix {
namespace {

std::optional<std::filesystem::path> UsablePath(const std::optional<std::string>& value) {
  if (!value || value->empty()) return std::nullopt;
  std::filesystem::path path(*value);
  if (!path.is_absolute()) return std::nullopt;
  return path;
}

std::optional<std::string> Variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace

std::filesystem::path RunJournalDirectory(const std::optional<std::string>& xdg_state_home,
                                          const std::optional<std::string>& home) {
  if (auto state = UsablePath(xdg_state_home)) return *state / "pelorin" / "runs";
  if (auto home_path = UsablePath(home)) return *home_path / ".local" / "state" / "pelorin" / "runs";
  throw std::runtime_error(
      "cannot find the run journal's folder: neither XDG_STATE_HOME nor HOME names an absolute "
      "path");
}

FileRunJournalStore FileRunJournalStore::FromEnvironment() {
  try {
    return FileRunJournalStore(RunJournalDirectory(Variable("XDG_STATE_HOME"), Variable("HOME")));
  } catch (const std::runtime_error& failure) {
    // Commands that never send must still work; a send refuses at its start.
    FileRunJournalStore store({});
    store.unavailable_ = failure.what();
    return store;
  }
}

std::filesystem::path FileRunJournalStore::FileOf(std::string_view run) const {
  return directory_ / ValueFileName(run);
}

void FileRunJournalStore::Save(std::string_view run, std::string_view text) {
  if (!unavailable_.empty()) throw std::runtime_error(unavailable_);
  EnsurePrivateDirectory(directory_);
  ReplaceValueFile(FileOf(run), text);
}

void FileRunJournalStore::Append(std::string_view run, std::string_view text) {
  if (!unavailable_.empty()) throw std::runtime_error(unavailable_);
  AppendValueFile(FileOf(run), text);
}

std::optional<std::string> FileRunJournalStore::Load(std::string_view run) const {
  if (!unavailable_.empty()) return std::nullopt;
  return ReadAppendedValueFile(FileOf(run), kMaxJournalFileBytes);
}

std::vector<std::string> FileRunJournalStore::Runs() const {
  std::vector<std::string> runs;
  if (!unavailable_.empty()) return runs;
  std::error_code error;
  std::filesystem::directory_iterator entries(directory_, error);
  if (error) return runs;  // no folder yet: no runs
  for (const std::filesystem::directory_entry& entry : entries) {
    const std::string file_name = entry.path().filename().string();
    if (file_name.starts_with(".")) continue;  // a temporary file of a save
    if (std::optional<std::string> run = ValueNameOfFile(file_name)) runs.push_back(*run);
  }
  return runs;
}

}  // namespace pelorin::posix
