// Where the file settings backend keeps its two groups, worked out from the
// XDG base-directory variables.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace pelorin::posix {

// The variables that decide the folders, as the environment holds them.
struct SettingsEnvironment {
  std::optional<std::string> xdg_config_home;
  std::optional<std::string> xdg_runtime_dir;
  std::optional<std::string> home;
};

struct SettingsDirectories {
  std::filesystem::path settings;
  std::filesystem::path session;
};

// Settings under $XDG_CONFIG_HOME/pelorin (else ~/.config/pelorin); the
// session under $XDG_RUNTIME_DIR/pelorin, which the system clears when the
// user logs out, else under the settings folder's "session". Empty or
// relative variables are ignored, as the XDG rules say. Throws
// std::runtime_error when no home folder is known.
SettingsDirectories ResolveSettingsDirectories(const SettingsEnvironment& environment);

}  // namespace pelorin::posix
