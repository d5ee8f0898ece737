// One user's send runs take turns across processes: a lock file per user in
// the session folder, held with flock for the length of a run.
#pragma once

#include <filesystem>
#include <memory>

#include "core/host/run_lock.h"
#include "platform/posix/file_lock.h"

namespace pelorin::posix {

class PosixRunLock : public RunLock {
 public:
  // The lock files live in `directory` (created, mode 0700, when missing).
  explicit PosixRunLock(std::filesystem::path directory) : directory_(std::move(directory)) {}

  void Acquire(std::string_view user_id, const std::function<void()>& on_wait) override;
  void Release() override { held_.reset(); }

  std::filesystem::path FileOf(std::string_view user_id) const;

 private:
  std::filesystem::path directory_;
  std::unique_ptr<FileLock> held_;
};

}  // namespace pelorin::posix
