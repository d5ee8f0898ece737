// An advisory lock on a file (flock), held by this object: other processes
// and other open descriptions wait for it; the system drops it when the
// holder dies, so a killed process never leaves it taken.
#pragma once

#include <filesystem>

namespace pelorin::posix {

class FileLock {
 public:
  enum class Mode { kShared, kExclusive };

  // Opens and locks the folder, or the file (creating it, mode 0600),
  // waiting for the current holders. Throws std::runtime_error naming the file.
  FileLock(const std::filesystem::path& file, Mode mode);
  // Locks without waiting; held() tells whether it was free.
  static FileLock TryExclusive(const std::filesystem::path& file);
  ~FileLock();
  FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileLock& operator=(FileLock&&) = delete;

  bool held() const { return fd_ >= 0; }

 private:
  FileLock() = default;
  int fd_ = -1;
};

}  // namespace pelorin::posix
