#include "platform/posix/file_settings_backend.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/posix/settings_directories.h"
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
    return ReadValueFile(FileOf(group, name)).value_or(std::string());
  } catch (...) {
    return {};
  }
}

void FileSettingsBackend::Set(SettingsGroup group, std::string_view name,
                              std::string_view value) {
  try {
    EnsurePrivateDirectory(DirectoryOf(group));
    ReplaceValueFile(FileOf(group, name), value);
  } catch (const std::exception& error) {
    throw std::runtime_error("cannot store the " + GroupCaption(group) + std::string(name) +
                             ": " + error.what());
  }
}

void FileSettingsBackend::Remove(SettingsGroup group, std::string_view name) {
  try {
    DeleteValueFile(FileOf(group, name));
  } catch (const std::exception& error) {
    throw std::runtime_error("cannot delete the " + GroupCaption(group) + std::string(name) +
                             ": " + error.what());
  }
}

}  // namespace pelorin::posix
