#include "platform/posix/file_settings_backend.h"

#include <sys/types.h>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/posix/settings_journal.h"
#include "platform/posix/value_file.h"
#include "scoped_variable.h"
#include "scratch_directory.h"

namespace pelorin::posix {
namespace {

namespace fs = std::filesystem;
using testing::ScopedVariable;
using testing::ScratchDirectory;

mode_t ModeOf(const fs::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return 0;
  return status.st_mode & 07777;
}

void WriteRaw(const fs::path& file, const std::string& contents) {
  std::ofstream(file, std::ios::binary) << contents;
}

std::vector<std::string> Listing(const fs::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

class FileSettingsBackendTest : public ::testing::Test {
 protected:
  fs::path settings_dir() const { return scratch_.path() / "config" / "pelorin"; }
  fs::path session_dir() const { return scratch_.path() / "run" / "pelorin"; }

  ScratchDirectory scratch_;
  FileSettingsBackend backend_{settings_dir(), session_dir()};
};

TEST_F(FileSettingsBackendTest, ValuesRoundTripInBothGroups) {
  struct Case {
    std::string name;
    std::string value;
  };
  const std::vector<Case> cases = {
      {"vpelorin_uid", "\xDA\xDB\xDC"},  // scrambled text is not valid UTF-8
      {"vPelorin_Version", "1.0"},
      {"vpelorin_host", "127.0.0.1:8080"},
      {"utf8", "Grüße, 世界 — 😀"},
      {"long", std::string(3'000'000, 'x')},  // far past any registry limit
      {"lines", "first\nsecond\r\n"},
      {"nul", std::string("a\0b", 3)},
      {"a/../../escape", "stays inside"},
      {"", "empty name"},
  };
  for (SettingsGroup group : {SettingsGroup::kSettings, SettingsGroup::kSession}) {
    for (const Case& c : cases) backend_.Set(group, c.name, c.value);
    for (const Case& c : cases) {
      EXPECT_EQ(backend_.Get(group, c.name), c.value) << c.name;
    }
  }
  // Nothing went anywhere but the two folders.
  EXPECT_EQ(Listing(scratch_.path()).size(), 2u);
}

TEST_F(FileSettingsBackendTest, TheEmptyTextIsStoredAndReadsBackEmpty) {
  backend_.Set(SettingsGroup::kSettings, "vpelorin_cid", "");
  EXPECT_TRUE(fs::exists(backend_.FileOf(SettingsGroup::kSettings, "vpelorin_cid")));
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "vpelorin_cid"), "");
}

TEST_F(FileSettingsBackendTest, GroupsAreSeparate) {
  backend_.Set(SettingsGroup::kSession, "same", "session");
  backend_.Set(SettingsGroup::kSettings, "same", "settings");
  EXPECT_EQ(backend_.Get(SettingsGroup::kSession, "same"), "session");
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "same"), "settings");

  backend_.Remove(SettingsGroup::kSession, "same");
  EXPECT_EQ(backend_.Get(SettingsGroup::kSession, "same"), "");
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "same"), "settings");
}

TEST_F(FileSettingsBackendTest, RemoveDeletesTheFileAndToleratesAbsence) {
  backend_.Set(SettingsGroup::kSettings, "vPelorin_PackSize", "700");
  backend_.Set(SettingsGroup::kSettings, "vPelorin_PackSize", "900");
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "vPelorin_PackSize"), "900");

  backend_.Remove(SettingsGroup::kSettings, "vPelorin_PackSize");
  EXPECT_FALSE(fs::exists(backend_.FileOf(SettingsGroup::kSettings, "vPelorin_PackSize")));
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "vPelorin_PackSize"), "");
  EXPECT_NO_THROW(backend_.Remove(SettingsGroup::kSettings, "vPelorin_PackSize"));
  EXPECT_NO_THROW(backend_.Remove(SettingsGroup::kSession, "never_written"));
}

TEST_F(FileSettingsBackendTest, ReadingCreatesNothing) {
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "vpelorin_proxyip"), "");
  EXPECT_TRUE(Listing(scratch_.path()).empty());
}

TEST_F(FileSettingsBackendTest, FilesArePrivateWhateverTheUmask) {
  fs::create_directories(session_dir());
  ::chmod(session_dir().c_str(), 0755);  // left open by someone else
  mode_t old_umask = ::umask(0);
  backend_.Set(SettingsGroup::kSettings, "vpelorin_proxyip", "10.0.0.1");
  backend_.Set(SettingsGroup::kSession, "vpelorin_uid", "\xDA");
  ::umask(old_umask);

  EXPECT_EQ(ModeOf(backend_.FileOf(SettingsGroup::kSettings, "vpelorin_proxyip")), 0600u);
  EXPECT_EQ(ModeOf(backend_.FileOf(SettingsGroup::kSession, "vpelorin_uid")), 0600u);
  EXPECT_EQ(ModeOf(settings_dir()), 0700u);
  EXPECT_EQ(ModeOf(settings_dir().parent_path()), 0700u);  // created on the way
  EXPECT_EQ(ModeOf(session_dir()), 0700u);
}

TEST_F(FileSettingsBackendTest, WritesLeaveNoTemporaryFiles) {
  for (int i = 0; i < 5; ++i) backend_.Set(SettingsGroup::kSettings, "vpelorin_cid", "7");
  backend_.Set(SettingsGroup::kSettings, "vpelorin_proxyport", "8080");
  std::vector<std::string> files = Listing(settings_dir());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"vpelorin_cid", "vpelorin_proxyport"}));
}

TEST_F(FileSettingsBackendTest, DamagedOrUnreadableValuesReadAsNotSet) {
  backend_.Set(SettingsGroup::kSettings, "probe", "written");
  const fs::path file = backend_.FileOf(SettingsGroup::kSettings, "probe");
  std::string good;
  {
    std::ifstream in(file, std::ios::binary);
    good.assign(std::istreambuf_iterator<char>(in), {});
  }
  struct Case {
    const char* label;
    void (*damage)(const fs::path& file, const std::string& good);
  };
  const std::vector<Case> cases = {
      {"empty file", [](const fs::path& f, const std::string&) { WriteRaw(f, ""); }},
      {"foreign text", [](const fs::path& f, const std::string&) { WriteRaw(f, "10.0.0.1"); }},
      {"cut short",
       [](const fs::path& f, const std::string& g) { WriteRaw(f, g.substr(0, g.size() - 2)); }},
      {"binary noise",
       [](const fs::path& f, const std::string&) { WriteRaw(f, std::string(64, '\xFE')); }},
      {"a folder",
       [](const fs::path& f, const std::string&) {
         fs::remove(f);
         fs::create_directory(f);
       }},
      {"dangling link",
       [](const fs::path& f, const std::string&) {
         fs::remove(f);
         fs::create_symlink(f.string() + "-gone", f);
       }},
  };
  for (const Case& c : cases) {
    fs::remove_all(file);
    WriteRaw(file, good);
    ASSERT_EQ(backend_.Get(SettingsGroup::kSettings, "probe"), "written");
    c.damage(file, good);
    EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "probe"), "") << c.label;
  }
}

TEST_F(FileSettingsBackendTest, SpecialOrHugeFilesReadAsNotSetWithoutWaiting) {
  const fs::path file = backend_.FileOf(SettingsGroup::kSettings, "probe");
  struct Case {
    const char* label;
    void (*make)(const fs::path& file);
  };
  const std::vector<Case> cases = {
      // Opening a FIFO for reading waits for a writer that never comes.
      {"FIFO", [](const fs::path& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); }},
      {"endless device", [](const fs::path& f) { fs::create_symlink("/dev/zero", f); }},
      {"terminal device", [](const fs::path& f) { fs::create_symlink("/dev/tty", f); }},
      {"3 GiB file",
       [](const fs::path& f) {
         WriteRaw(f, "");
         ASSERT_EQ(::truncate(f.c_str(), off_t{3} << 30), 0);  // sparse: costs no disk
       }},
  };
  backend_.Set(SettingsGroup::kSettings, "probe", "written");
  for (const Case& c : cases) {
    fs::remove(file);
    c.make(file);
    EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "probe"), "") << c.label;
  }
}

TEST_F(FileSettingsBackendTest, ChangeWritesAndDeletesSeveralValuesAtOnce) {
  backend_.Set(SettingsGroup::kSettings, "gone", "old");
  backend_.Set(SettingsGroup::kSettings, "kept", "same");
  backend_.Change(SettingsGroup::kSettings, {{"address", "10.0.0.1"},
                                             {"port", "3128"},
                                             {"gone", std::nullopt},
                                             {"empty", ""},
                                             {"address", "10.0.0.2"}});
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "address"), "10.0.0.2");  // the last one wins
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "port"), "3128");
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "kept"), "same");
  EXPECT_FALSE(fs::exists(backend_.FileOf(SettingsGroup::kSettings, "gone")));
  EXPECT_TRUE(fs::exists(backend_.FileOf(SettingsGroup::kSettings, "empty")));
  std::vector<std::string> files = Listing(settings_dir());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"address", "empty", "kept", "port"}));
}

TEST_F(FileSettingsBackendTest, AChangeLeftHalfMadeCountsAsMadeAndIsFinished) {
  // What a writer killed after its journal and its first value leaves.
  backend_.Set(SettingsGroup::kSettings, "vpelorin_proxyip", "10.0.0.1");
  backend_.Set(SettingsGroup::kSettings, "vpelorin_proxyport", "8080");
  backend_.Change(SettingsGroup::kSettings, {{"vpelorin_proxyip", "10.9.9.9"}});
  WriteRaw(settings_dir() / ".pending-change",
           EncodeValueFile(EncodeSettingsJournal({{"vpelorin_proxyip", "10.9.9.9"},
                                                  {"vpelorin_proxyport", "3128"},
                                                  {"vpelorin_proxyip1", std::nullopt}})));
  WriteRaw(settings_dir() / ".tmp-999999999-0", "left by a dead writer");
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "vpelorin_proxyport"), "3128");
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "vpelorin_proxyip1"), "");

  backend_.Set(SettingsGroup::kSettings, "vpelorin_cid", "10");  // the next writer finishes it
  EXPECT_EQ(backend_.Get(SettingsGroup::kSettings, "vpelorin_proxyport"), "3128");
  std::vector<std::string> files = Listing(settings_dir());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"vpelorin_cid", "vpelorin_proxyip",
                                             "vpelorin_proxyport"}));
}

TEST_F(FileSettingsBackendTest, AFailedWriteThrowsNamingTheValueAndKeepsTheOldOne) {
  // A regular file where the session folder should be.
  fs::create_directories(session_dir().parent_path());
  WriteRaw(session_dir(), "in the way");
  try {
    backend_.Set(SettingsGroup::kSession, "vpelorin_uid", "abc");
    FAIL() << "Set did not throw";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("vpelorin_uid"), std::string::npos) << error.what();
  }

  // A folder in the value's place cannot be replaced; the old state stays.
  backend_.Set(SettingsGroup::kSettings, "blocked", "old");
  const fs::path file = backend_.FileOf(SettingsGroup::kSettings, "blocked");
  fs::remove(file);
  fs::create_directories(file / "child");
  EXPECT_THROW(backend_.Set(SettingsGroup::kSettings, "blocked", "new"), std::runtime_error);
  EXPECT_TRUE(fs::is_directory(file / "child"));
  EXPECT_EQ(Listing(settings_dir()), std::vector<std::string>{"blocked"});
}

TEST(FileSettingsBackendEnvironmentTest, UsesTheXdgFolders) {
  ScratchDirectory scratch;
  ScopedVariable config("XDG_CONFIG_HOME", (scratch.path() / "cfg").string());
  {
    ScopedVariable runtime("XDG_RUNTIME_DIR", (scratch.path() / "run").string());
    FileSettingsBackend backend = FileSettingsBackend::FromEnvironment();
    backend.Set(SettingsGroup::kSettings, "vpelorin_host", "h");
    backend.Set(SettingsGroup::kSession, "vpelorin_uid", "u");
    EXPECT_TRUE(fs::exists(scratch.path() / "cfg" / "pelorin" / "vpelorin_host"));
    EXPECT_TRUE(fs::exists(scratch.path() / "run" / "pelorin" / "vpelorin_uid"));
  }
  ScopedVariable runtime("XDG_RUNTIME_DIR", std::nullopt);
  FileSettingsBackend backend = FileSettingsBackend::FromEnvironment();
  backend.Set(SettingsGroup::kSession, "vpelorin_uid", "u");
  EXPECT_TRUE(fs::exists(scratch.path() / "cfg" / "pelorin" / "session" / "vpelorin_uid"));
}

}  // namespace
}  // namespace pelorin::posix
