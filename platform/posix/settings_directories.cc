#include "platform/posix/settings_directories.h"

#include <stdexcept>

namespace pelorin::posix {
namespace {

constexpr const char* kApplicationFolder = "pelorin";

// An XDG variable counts only when it holds an absolute path.
std::optional<std::filesystem::path> UsablePath(const std::optional<std::string>& value) {
  if (!value || value->empty()) return std::nullopt;
  std::filesystem::path path(*value);
  if (!path.is_absolute()) return std::nullopt;
  return path;
}

std::filesystem::path ConfigHome(const SettingsEnvironment& environment) {
  if (auto config = UsablePath(environment.xdg_config_home)) return *config;
  auto home = UsablePath(environment.home);
  if (!home) {
    throw std::runtime_error(
        "cannot find the settings folder: neither XDG_CONFIG_HOME nor HOME names an absolute "
        "path");
  }
  return *home / ".config";
}

}  // namespace

SettingsDirectories ResolveSettingsDirectories(const SettingsEnvironment& environment) {
  SettingsDirectories directories;
  directories.settings = ConfigHome(environment) / kApplicationFolder;
  if (auto runtime = UsablePath(environment.xdg_runtime_dir)) {
    directories.session = *runtime / kApplicationFolder;
  } else {
    directories.session = directories.settings / "session";
  }
  return directories;
}

}  // namespace pelorin::posix
