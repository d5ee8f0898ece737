// The run journal's files: where they live, names that need encoding, their
// modes, appends cut short, and a writer killed at many points that always
// leaves a whole journal behind.
#include "platform/posix/file_run_journal_store.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "core/messaging/run_journal.h"
#include "scoped_variable.h"
#include "scratch_directory.h"

namespace pelorin::posix {
namespace {

using testing::ScopedVariable;
using testing::ScratchDirectory;

TEST(RunJournalDirectoryTest, FollowsTheStateHomeElseTheHomeFolder) {
  struct Case {
    std::optional<std::string> state, home;
    const char* expected;
  };
  const Case cases[] = {
      {"/s", "/h", "/s/pelorin/runs"},
      {std::nullopt, "/h", "/h/.local/state/pelorin/runs"},
      {"", "/h", "/h/.local/state/pelorin/runs"},
      {"relative/state", "/h", "/h/.local/state/pelorin/runs"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunJournalDirectory(c.state, c.home), c.expected) << c.expected;
  }
  EXPECT_THROW(RunJournalDirectory(std::nullopt, "relative"), std::runtime_error);
}

TEST(RunJournalDirectoryTest, WithoutAFolderNothingIsFoundAndEverySaveRefuses) {
  ScopedVariable state("XDG_STATE_HOME", std::nullopt);
  ScopedVariable home("HOME", std::nullopt);
  FileRunJournalStore store = FileRunJournalStore::FromEnvironment();
  EXPECT_TRUE(store.Runs().empty());
  EXPECT_FALSE(store.Load("u_1").has_value());
  try {
    store.Save("u_1", "text");
    ADD_FAILURE() << "saved with no folder";
  } catch (const std::runtime_error& failure) {
    EXPECT_NE(std::string(failure.what()).find("XDG_STATE_HOME"), std::string::npos);
  }
}

std::string FileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileText(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

int ModeOf(const std::filesystem::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return -1;
  return static_cast<int>(status.st_mode & 07777);
}

TEST(FileRunJournalStoreTest, KeepsRunsUnderNamesOfAnyCharacters) {
  ScratchDirectory scratch;
  FileRunJournalStore store(scratch.path() / "state" / "pelorin" / "runs");
  EXPECT_TRUE(store.Runs().empty()) << "no folder yet";
  const std::vector<std::string> names = {"u_2026121014305", "u/../x_1", "%", "", ".hidden",
                                          "a b-2", "ü_1"};
  for (const std::string& name : names) store.Save(name, "journal of " + name);
  // A save that was cut off leaves a temporary file: it is no run.
  std::ofstream(store.directory() / ".tmp-1-1") << "half";

  std::vector<std::string> runs = store.Runs();
  std::sort(runs.begin(), runs.end());
  std::vector<std::string> expected = names;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(runs, expected);
  for (const std::string& name : names) {
    EXPECT_EQ(store.Load(name), "journal of " + name) << name;
    EXPECT_EQ(ModeOf(store.FileOf(name)), 0600) << name;
    EXPECT_EQ(store.FileOf(name).parent_path(), store.directory()) << name;
  }
  EXPECT_EQ(ModeOf(store.directory()), 0700);
  EXPECT_FALSE(store.Load("absent").has_value());
}

TEST(FileRunJournalStoreTest, ADamagedFileReadsAsNoJournal) {
  ScratchDirectory scratch;
  FileRunJournalStore store(scratch.path() / "runs");
  store.Save("u_1", "pelorin-run 1\nname u_1\n");
  std::string contents;
  {
    std::ifstream in(store.FileOf("u_1"), std::ios::binary);
    contents.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::ofstream(store.FileOf("u_1"), std::ios::binary) << contents.substr(0, contents.size() - 2);
  EXPECT_FALSE(store.Load("u_1").has_value());
}

TEST(FileRunJournalStoreTest, AppendsReadBackAfterTheSaveAndACutShortOneIsNotRead) {
  ScratchDirectory scratch;
  FileRunJournalStore store(scratch.path() / "runs");
  EXPECT_THROW(store.Append("u_1", "no journal yet\n"), std::runtime_error);
  store.Save("u_1", "saved\n");
  store.Append("u_1", "first\n");
  const std::uintmax_t before_last = std::filesystem::file_size(store.FileOf("u_1"));
  store.Append("u_1", "second\n");
  EXPECT_EQ(store.Load("u_1"), "saved\nfirst\nsecond\n");
  EXPECT_EQ(ModeOf(store.FileOf("u_1")), 0600);

  const std::string whole = FileText(store.FileOf("u_1"));
  for (std::size_t size = before_last + 1; size < whole.size(); ++size) {
    WriteFileText(store.FileOf("u_1"), whole.substr(0, size));
    EXPECT_EQ(store.Load("u_1"), "saved\nfirst\n") << "cut at " << size << " bytes";
  }
  std::string altered = whole;
  altered[altered.size() - 2] ^= 1;
  WriteFileText(store.FileOf("u_1"), altered);
  EXPECT_EQ(store.Load("u_1"), "saved\nfirst\n") << "last append altered";
  // A save replaces the appends too.
  store.Save("u_1", "saved again\n");
  EXPECT_EQ(store.Load("u_1"), "saved again\n");
}

// A run of `packets` packets journaled as a send journals it.
void WriteRun(FileRunJournalStore& store, int packets) {
  JournalRun run;
  run.name = run.file_name = "u_2026121014305";
  run.user = "u";
  run.mobile_column = "A";
  run.ranges = {{1, packets * 1000}};
  run.packet_size = 1000;
  run.message_template = std::string(3000, 'T');  // a long template: a bigger first save
  run.template_hash = JournalHash(run.message_template);
  JournalWriter writer = JournalWriter::Begin(store, run);
  for (int i = 0; i < packets; ++i) {
    writer.Sending({{i * 1000 + 1, i * 1000 + 1000}, "START", 1000, static_cast<std::uint64_t>(i),
                    PacketOutcome::kPending, ""});
    writer.Answered("Error : 0 - SUCCESS.");
  }
  writer.Flush();
}

TEST(FileRunJournalStoreTest, AWriterKilledAtAnyPointLeavesAWholeJournal) {
  ScratchDirectory scratch;
  FileRunJournalStore store(scratch.path() / "runs");
  constexpr int kPackets = 400;
  int killed_mid_run = 0;
  // Kill points from the first save to well into the run.
  for (int kill_after_us : {0, 200, 500, 1000, 2000, 4000, 8000, 15000, 30000}) {
    std::filesystem::remove_all(store.directory());
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    pid_t writer = ::fork();
    if (writer == 0) {
      ::close(started[0]);
      if (::write(started[1], "w", 1) != 1) ::_exit(3);
      try {
        WriteRun(store, kPackets);
      } catch (...) {
        ::_exit(2);
      }
      ::_exit(0);
    }
    ::close(started[1]);
    char go = 0;
    ASSERT_EQ(::read(started[0], &go, 1), 1);
    ::close(started[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(kill_after_us));
    ::kill(writer, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);

    // Nothing saved yet, or the run's first packets in order, each accepted
    // but the last, which may still be waiting for its reply.
    std::optional<std::string> left = store.Load("u_2026121014305");
    if (!left) continue;
    std::optional<JournalRun> run = ParseJournalRun(*left);
    ASSERT_TRUE(run.has_value()) << "killed after " << kill_after_us << " us";
    for (std::size_t i = 0; i < run->packets.size(); ++i) {
      const JournalPacket& packet = run->packets[i];
      EXPECT_EQ(packet.rows.first, static_cast<std::int64_t>(i) * 1000 + 1);
      const bool last = i + 1 == run->packets.size();
      EXPECT_TRUE(packet.outcome == PacketOutcome::kAccepted ||
                  (last && packet.outcome == PacketOutcome::kPending))
          << "packet " << i << " after a kill at " << kill_after_us << " us";
    }
    killed_mid_run += WIFSIGNALED(status) && run->packets.size() < kPackets;
    // The next writer is not stopped by what the killed one left.
    WriteRun(store, 2);
    EXPECT_EQ(ParseJournalRun(*store.Load("u_2026121014305-2"))->packets.size(), 2u);
  }
  EXPECT_GT(killed_mid_run, 0) << "every writer finished before it was killed";
}

}  // namespace
}  // namespace pelorin::posix
