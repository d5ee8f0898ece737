// A fresh folder under the temporary directory for one test, deleted with
// everything in it when the test ends.
#pragma once

#include <filesystem>

namespace pelorin::testing {

class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace pelorin::testing
