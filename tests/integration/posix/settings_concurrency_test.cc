// Several processes at once on one settings folder, and a writer killed in
// the middle of its work.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/posix/file_settings_backend.h"
#include "scratch_directory.h"

namespace pelorin::posix {
namespace {

using testing::ScratchDirectory;
constexpr SettingsGroup kGroup = SettingsGroup::kSettings;

// A pipe whose reading end sees end-of-file once every writing end closes:
// the children wait on it so that they start together.
struct Gate {
  Gate() {
    if (::pipe(ends) != 0) throw std::runtime_error("pipe failed");
  }
  void Open() {
    ::close(ends[0]);
    ::close(ends[1]);
  }
  int ends[2];
};

// Runs `work` in a child process that starts when the gate opens; the child
// exits 0 when the work finished without an exception.
template <typename Work>
pid_t StartChild(Gate& gate, Work work) {
  pid_t child = ::fork();
  if (child != 0) return child;
  ::close(gate.ends[1]);
  char go = 0;
  if (::read(gate.ends[0], &go, 1) < 0) ::_exit(3);
  try {
    work();
  } catch (...) {
    ::_exit(2);
  }
  ::_exit(0);
}

int ExitCodeOf(pid_t child) {
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::string Numbered(const std::string& tag, int i) { return tag + "_" + std::to_string(i); }

TEST(SettingsConcurrencyTest, TwoWritersAtOnceLoseNothing) {
  ScratchDirectory scratch;
  const auto settings = scratch.path() / "settings";
  const auto session = scratch.path() / "session";
  constexpr int kWrites = 150;
  Gate gate;
  std::vector<pid_t> children;
  for (std::string tag : {"alpha", "beta"}) {
    children.push_back(StartChild(gate, [&, tag] {
      FileSettingsBackend backend(settings, session);
      for (int i = 0; i < kWrites; ++i) {
        backend.Set(kGroup, Numbered(tag, i), Numbered(tag + "-value", i));
        backend.Set(kGroup, tag, std::to_string(i));
        backend.Set(kGroup, "shared", tag + std::string(1000 + i, '.'));
      }
    }));
  }
  gate.Open();  // both start now
  for (pid_t child : children) EXPECT_EQ(ExitCodeOf(child), 0);

  FileSettingsBackend backend(settings, session);
  for (std::string tag : {"alpha", "beta"}) {
    for (int i = 0; i < kWrites; ++i) {
      ASSERT_EQ(backend.Get(kGroup, Numbered(tag, i)), Numbered(tag + "-value", i));
    }
    EXPECT_EQ(backend.Get(kGroup, tag), std::to_string(kWrites - 1));
  }
  const std::set<std::string> last_shared = {
      "alpha" + std::string(1000 + kWrites - 1, '.'),
      "beta" + std::string(1000 + kWrites - 1, '.')};
  EXPECT_EQ(last_shared.count(backend.Get(kGroup, "shared")), 1u);
}

TEST(SettingsConcurrencyTest, AKilledWriterLeavesTheOldOrTheNewValue) {
  ScratchDirectory scratch;
  FileSettingsBackend backend(scratch.path() / "settings", scratch.path() / "session");
  // Lengths far apart, so a mixture of two of them cannot pass for one.
  const std::vector<std::string> values = {std::string(200'000, 'A'), std::string(7, 'B'),
                                           std::string(64'000, 'C')};
  const std::set<std::string> allowed(values.begin(), values.end());
  backend.Set(kGroup, "vpelorin_cid", values[0]);

  Gate gate;
  int progress[2];
  ASSERT_EQ(::pipe(progress), 0);
  pid_t writer = StartChild(gate, [&] {
    for (int i = 0; i < 20'000; ++i) {
      backend.Set(kGroup, "vpelorin_cid", values[i % 3]);
      if (i == 20 && ::write(progress[1], "w", 1) != 1) throw std::runtime_error("pipe");
    }
  });
  gate.Open();
  ::close(progress[1]);
  char written = 0;
  ASSERT_EQ(::read(progress[0], &written, 1), 1) << "the writer stopped early";
  ::close(progress[0]);

  // Read while it writes; every read sees one whole value.
  for (int i = 0; i < 300; ++i) {
    std::string value = backend.Get(kGroup, "vpelorin_cid");
    if (allowed.count(value) != 1) {
      ADD_FAILURE() << "read a value of " << value.size() << " bytes";
      break;
    }
  }
  ASSERT_EQ(::kill(writer, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(writer, &status, 0), writer);
  EXPECT_TRUE(WIFSIGNALED(status)) << "the writer finished before it was killed";

  EXPECT_EQ(allowed.count(backend.Get(kGroup, "vpelorin_cid")), 1u);
  // Whatever the killed writer left behind does not stop the next write.
  backend.Set(kGroup, "vpelorin_cid", "10");
  EXPECT_EQ(backend.Get(kGroup, "vpelorin_cid"), "10");
}

// The address and port every writer below stores together: port N goes
// with address 10.0.N.N.
std::vector<SettingsChange> ProxyPair(int n) {
  const std::string octet = std::to_string(n % 256);
  return {{"vpelorin_proxyip", "10.0." + octet + "." + octet}, {"vpelorin_proxyport", std::to_string(n % 256)}};
}

bool IsAPairSomeoneWrote(const FileSettingsBackend& backend) {
  const std::string port = backend.Get(kGroup, "vpelorin_proxyport");
  return backend.Get(kGroup, "vpelorin_proxyip") == "10.0." + port + "." + port;
}

TEST(SettingsConcurrencyTest, TwoWritersOfPairsLeaveAPairOneOfThemWrote) {
  ScratchDirectory scratch;
  const auto settings = scratch.path() / "settings";
  Gate gate;
  std::vector<pid_t> children;
  for (int first : {0, 1}) {
    children.push_back(StartChild(gate, [&, first] {
      FileSettingsBackend backend(settings, scratch.path() / "session");
      for (int i = first; i < 120; i += 2) backend.Change(kGroup, ProxyPair(i));
    }));
  }
  gate.Open();
  for (pid_t child : children) EXPECT_EQ(ExitCodeOf(child), 0);
  FileSettingsBackend backend(settings, scratch.path() / "session");
  EXPECT_TRUE(IsAPairSomeoneWrote(backend));
}

TEST(SettingsConcurrencyTest, WritersKilledMidChangeNeverLeaveATornPair) {
  ScratchDirectory scratch;
  FileSettingsBackend backend(scratch.path() / "settings", scratch.path() / "session");
  backend.Change(kGroup, ProxyPair(0));
  for (int round = 0; round < 40; ++round) {
    Gate gate;
    pid_t writer = StartChild(gate, [&] {
      for (int i = 1;; ++i) backend.Change(kGroup, ProxyPair(i));
    });
    gate.Open();
    ::usleep(static_cast<useconds_t>(2000 + 997 * round % 15000));  // a different moment each round
    ASSERT_EQ(::kill(writer, SIGKILL), 0);
    ::waitpid(writer, nullptr, 0);
    ASSERT_TRUE(IsAPairSomeoneWrote(backend)) << "round " << round;
  }
  backend.Set(kGroup, "vpelorin_cid", "10");  // the next writer clears what the killed ones left
  for (const auto& entry : std::filesystem::directory_iterator(scratch.path() / "settings")) {
    EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
  }
  EXPECT_TRUE(IsAPairSomeoneWrote(backend));
}

}  // namespace
}  // namespace pelorin::posix
