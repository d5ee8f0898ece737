// Settings and session values as private per-user files, one file per value,
// each replaced atomically and durably; writers of a folder take turns under
// its lock, and a change of several values goes through a journal.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/host/settings_backend.h"

namespace pelorin::posix {

class FileSettingsBackend : public SettingsBackend {
 public:
  // The folders are created (mode 0700) at the first write.
  FileSettingsBackend(std::filesystem::path settings_directory,
                      std::filesystem::path session_directory);

  // The folders the XDG variables name for this user (see
  // settings_directories.h); throws std::runtime_error when there is no home.
  static FileSettingsBackend FromEnvironment();

  std::string Get(SettingsGroup group, std::string_view name) const override;
  void Set(SettingsGroup group, std::string_view name, std::string_view value) override;
  void Remove(SettingsGroup group, std::string_view name) override;
  void Change(SettingsGroup group, const std::vector<SettingsChange>& changes) override;

  const std::filesystem::path& DirectoryOf(SettingsGroup group) const;
  std::filesystem::path FileOf(SettingsGroup group, std::string_view name) const;

 private:
  std::filesystem::path settings_directory_;
  std::filesystem::path session_directory_;
};

}  // namespace pelorin::posix
