#include "platform/posix/file_settings_backend.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/posix/file_lock.h"
#include "platform/posix/settings_directories.h"
#include "platform/posix/settings_journal.h"
#include "platform/posix/value_file.h"

namespace pelorin::posix {
namespace {

std::optional<std::string> Variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

// HOME may be unset (a service, a cron job): the password database knows.
std::optional<std::string> HomeDirectory() {
  if (auto home = Variable("HOME"); home && !home->empty()) return home;
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr) {
    return std::nullopt;
  }
  return std::string(found->pw_dir);
}

std::string GroupCaption(SettingsGroup group) {
  return group == SettingsGroup::kSession ? "session value " : "setting ";
}

// Every writer of a folder holds a lock on the folder itself, so changes of
// several values never interleave; readers share it, so none sees a change
// half made.

std::optional<std::vector<SettingsChange>> PendingJournal(const std::filesystem::path& directory) {
  std::optional<std::string> text = ReadValueFile(directory / kJournalFileName);
  if (!text) return std::nullopt;
  return DecodeSettingsJournal(*text);
}

void Apply(const std::filesystem::path& directory, const SettingsChange& change) {
  const std::filesystem::path file = directory / ValueFileName(change.name);
  if (change.value) {
    ReplaceValueFile(file, *change.value);
  } else {
    DeleteValueFile(file);
  }
}

// Finishes a change a killed writer left half made, and clears what it left
// behind. Runs under the folder's exclusive lock.
void Recover(const std::filesystem::path& directory) {
  if (auto pending = PendingJournal(directory)) {
    for (const SettingsChange& change : *pending) Apply(directory, change);
  }
  DeleteValueFile(directory / kJournalFileName);
  RemoveStaleTemporaryFiles(directory);
}

// Runs `write` with the folder created, locked and recovered.
template <typename Write>
void Locked(const std::filesystem::path& directory, Write write) {
  EnsurePrivateDirectory(directory);
  FileLock lock(directory, FileLock::Mode::kExclusive);
  Recover(directory);
  write();
}

}  // namespace

FileSettingsBackend::FileSettingsBackend(std::filesystem::path settings_directory,
                                         std::filesystem::path session_directory)
    : settings_directory_(std::move(settings_directory)),
      session_directory_(std::move(session_directory)) {}

FileSettingsBackend FileSettingsBackend::FromEnvironment() {
  SettingsEnvironment environment{Variable("XDG_CONFIG_HOME"), Variable("XDG_RUNTIME_DIR"),
                                  HomeDirectory()};
  SettingsDirectories directories = ResolveSettingsDirectories(environment);
  return FileSettingsBackend(directories.settings, directories.session);
}

const std::filesystem::path& FileSettingsBackend::DirectoryOf(SettingsGroup group) const {
  return group == SettingsGroup::kSession ? session_directory_ : settings_directory_;
}

std::filesystem::path FileSettingsBackend::FileOf(SettingsGroup group,
                                                  std::string_view name) const {
  return DirectoryOf(group) / ValueFileName(name);
}

std::string FileSettingsBackend::Get(SettingsGroup group, std::string_view name) const {
  // Whatever is wrong with the file, the value reads as not set.
  try {
    const std::filesystem::path& directory = DirectoryOf(group);
    std::error_code missing;
    if (!std::filesystem::is_directory(directory, missing)) return {};
    std::optional<FileLock> lock;
    try {
      lock.emplace(directory, FileLock::Mode::kShared);
    } catch (const std::exception&) {
      // A folder this user cannot write to can still be read.
    }
    // A change whose writer was killed counts as made.
    if (auto pending = PendingJournal(directory)) {
      for (auto change = pending->rbegin(); change != pending->rend(); ++change) {
        if (change->name == name) return change->value.value_or(std::string());
      }
    }
    return ReadValueFile(FileOf(group, name)).value_or(std::string());
  } catch (...) {
    return {};
  }
}

void FileSettingsBackend::Set(SettingsGroup group, std::string_view name,
                              std::string_view value) {
  try {
    Locked(DirectoryOf(group), [&] { ReplaceValueFile(FileOf(group, name), value); });
  } catch (const std::exception& error) {
    throw std::runtime_error("cannot store the " + GroupCaption(group) + std::string(name) +
                             ": " + error.what());
  }
}

void FileSettingsBackend::Remove(SettingsGroup group, std::string_view name) {
  try {
    std::error_code missing;
    if (!std::filesystem::is_directory(DirectoryOf(group), missing)) return;
    Locked(DirectoryOf(group), [&] { DeleteValueFile(FileOf(group, name)); });
  } catch (const std::exception& error) {
    throw std::runtime_error("cannot delete the " + GroupCaption(group) + std::string(name) +
                             ": " + error.what());
  }
}

void FileSettingsBackend::Change(SettingsGroup group, const std::vector<SettingsChange>& changes) {
  const std::filesystem::path& directory = DirectoryOf(group);
  try {
    Locked(directory, [&] {
      // Once the journal is in place the change counts as made, whatever
      // happens to this process.
      ReplaceValueFile(directory / kJournalFileName, EncodeSettingsJournal(changes));
      for (const SettingsChange& change : changes) Apply(directory, change);
      DeleteValueFile(directory / kJournalFileName);
    });
  } catch (const std::exception& error) {
    throw std::runtime_error("cannot change the " + GroupCaption(group) + "values: " +
                             error.what());
  }
}

}  // namespace pelorin::posix
