#include "platform/posix/xdg_browser.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "scratch_directory.h"

namespace pelorin::posix {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDirectory;

// Child processes of this test process that still exist, zombies included.
std::vector<std::string> LiveChildren() {
  std::vector<std::string> children;
  const std::string parent = std::to_string(::getpid());
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat_file(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat_file, line)) continue;
    // "pid (name) state ppid ...": the name may hold spaces and parentheses.
    std::istringstream rest(line.substr(line.rfind(')') + 1));
    std::string state, ppid;
    rest >> state >> ppid;
    if (ppid == parent) children.push_back(entry.path().filename().string() + " " + state);
  }
  return children;
}

class XdgBrowserTest : public ::testing::Test {
 protected:
  XdgBrowserTest() {
    // Records its arguments, NUL-separated, and makes the record appear at
    // once by renaming it into place.
    std::ofstream(opener()) << "#!/bin/sh\n"
                            << "out=\"" << record().string() << "\"\n"
                            << ": > \"$out.part\"\n"
                            << "for arg in \"$@\"; do printf '%s\\0' \"$arg\" >> \"$out.part\"; done\n"
                            << "mv \"$out.part\" \"$out\"\n";
    ::chmod(opener().c_str(), 0700);
  }

  fs::path opener() const { return scratch_.path() / "opener"; }
  fs::path record() const { return scratch_.path() / "record"; }

  // The arguments the opener got, once it has run (a bounded wait).
  std::vector<std::string> RecordedArguments() const {
    for (int i = 0; i < 1000 && !fs::exists(record()); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(record(), std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(in)), {});
    fs::remove(record());
    std::vector<std::string> arguments;
    for (size_t start = 0, end; (end = contents.find('\0', start)) != std::string::npos;
         start = end + 1) {
      arguments.push_back(contents.substr(start, end - start));
    }
    return arguments;
  }

  ScratchDirectory scratch_;
};

TEST_F(XdgBrowserTest, HandsTheAddressOverAsOneArgument) {
  XdgBrowser browser(opener().string());
  const std::vector<std::string> addresses = {
      "http://www.pelorin.example/excel_plugin.html",
      "mailto:support@pelorin.example",
      "http://h/a page;rm -rf ~ & echo $HOME `id` | cat > x",
      "http://h/\"quoted\" 'single' *glob* \\back",
      "http://h/Grüße\nnext line",
  };
  for (const std::string& address : addresses) {
    browser.OpenInNewWindow(address);
    EXPECT_EQ(RecordedArguments(), std::vector<std::string>{address});
    browser.ShellOpen(address);
    EXPECT_EQ(RecordedArguments(), std::vector<std::string>{address});
  }
  EXPECT_FALSE(fs::exists(scratch_.path() / "x")) << "a shell interpreted the address";
}

TEST_F(XdgBrowserTest, LeavesNoZombieBehind) {
  XdgBrowser browser(opener().string());
  browser.OpenInNewWindow("http://h/");
  RecordedArguments();
  std::vector<std::string> children = LiveChildren();
  for (int i = 0; i < 500 && !children.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    children = LiveChildren();
  }
  EXPECT_TRUE(children.empty()) << children.front();
}

TEST_F(XdgBrowserTest, RefusesAddressesItCannotHandOverSafely) {
  XdgBrowser browser(opener().string());
  for (const std::string& address :
       {std::string(), std::string("--help"), std::string("-x"), std::string("http://h/\0x", 10)}) {
    EXPECT_THROW(browser.OpenInNewWindow(address), std::runtime_error);
    EXPECT_THROW(browser.ShellOpen(address), std::runtime_error);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(fs::exists(record()));
}

TEST(XdgBrowserFailureTest, AProgramThatCannotStartIsReported) {
  for (const char* program : {"/nonexistent/pelorin-opener", "pelorin-no-such-opener"}) {
    XdgBrowser browser(program);
    try {
      browser.OpenInNewWindow("http://h/");
      ADD_FAILURE() << program << " did not fail";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(program), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace pelorin::posix
