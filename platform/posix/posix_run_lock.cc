#include "platform/posix/posix_run_lock.h"

#include "platform/posix/value_file.h"

namespace pelorin::posix {

std::filesystem::path PosixRunLock::FileOf(std::string_view user_id) const {
  // Value files never start with ".": the lock cannot take a value's place.
  return directory_ / (".run-lock-" + ValueFileName(user_id));
}

void PosixRunLock::Acquire(std::string_view user_id, const std::function<void()>& on_wait) {
  EnsurePrivateDirectory(directory_);
  const std::filesystem::path file = FileOf(user_id);
  FileLock lock = FileLock::TryExclusive(file);
  if (!lock.held()) {
    if (on_wait) on_wait();
    held_ = std::make_unique<FileLock>(file, FileLock::Mode::kExclusive);
    return;
  }
  held_ = std::make_unique<FileLock>(std::move(lock));
}

}  // namespace pelorin::posix
