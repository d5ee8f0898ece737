#include "platform/posix/settings_directories.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace pelorin::posix {
namespace {

TEST(SettingsDirectoriesTest, FollowsTheXdgVariables) {
  struct Case {
    const char* label;
    SettingsEnvironment environment;
    std::string settings;
    std::string session;
  };
  const std::vector<Case> cases = {
      {"both variables", {"/cfg", "/run/user/7", "/home/u"}, "/cfg/pelorin",
       "/run/user/7/pelorin"},
      {"no config home", {std::nullopt, "/run/user/7", "/home/u"}, "/home/u/.config/pelorin",
       "/run/user/7/pelorin"},
      {"no runtime dir", {"/cfg", std::nullopt, "/home/u"}, "/cfg/pelorin",
       "/cfg/pelorin/session"},
      {"empty variables", {"", "", "/home/u"}, "/home/u/.config/pelorin",
       "/home/u/.config/pelorin/session"},
      {"relative variables", {"cfg", "run", "/home/u"}, "/home/u/.config/pelorin",
       "/home/u/.config/pelorin/session"},
      {"no home but config", {"/cfg", std::nullopt, std::nullopt}, "/cfg/pelorin",
       "/cfg/pelorin/session"},
  };
  for (const Case& c : cases) {
    SettingsDirectories directories = ResolveSettingsDirectories(c.environment);
    EXPECT_EQ(directories.settings, c.settings) << c.label;
    EXPECT_EQ(directories.session, c.session) << c.label;
  }
}

TEST(SettingsDirectoriesTest, RefusesWhenNoFolderIsKnown) {
  EXPECT_THROW(ResolveSettingsDirectories({std::nullopt, "/run/user/7", std::nullopt}),
               std::runtime_error);
  EXPECT_THROW(ResolveSettingsDirectories({"relative", std::nullopt, "also-relative"}),
               std::runtime_error);
}

}  // namespace
}  // namespace pelorin::posix
