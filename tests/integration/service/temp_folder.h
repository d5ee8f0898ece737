// A private folder under the temporary directory for one test, removed with
// its contents when the test ends.
#pragma once

#include <filesystem>

namespace pelorin::service_test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace pelorin::service_test
