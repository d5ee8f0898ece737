#include "platform/posix/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace pelorin::posix {
namespace {

// A folder is locked as it is; a file is created when missing.
int OpenLockFile(const std::filesystem::path& file) {
  int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
  if (fd < 0 && (errno == ENOTDIR || errno == ENOENT)) {
    fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  }
  if (fd < 0) {
    throw std::runtime_error("cannot open the lock " + file.string() + ": " +
                             std::strerror(errno));
  }
  return fd;
}

int Flock(int fd, int operation) {
  int result;
  do {
    result = ::flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  return result;
}

}  // namespace

FileLock::FileLock(const std::filesystem::path& file, Mode mode) : fd_(OpenLockFile(file)) {
  if (Flock(fd_, mode == Mode::kShared ? LOCK_SH : LOCK_EX) != 0) {
    int error = errno;
    ::close(fd_);
    fd_ = -1;
    throw std::runtime_error("cannot lock " + file.string() + ": " + std::strerror(error));
  }
}

FileLock FileLock::TryExclusive(const std::filesystem::path& file) {
  FileLock lock;
  lock.fd_ = OpenLockFile(file);
  if (Flock(lock.fd_, LOCK_EX | LOCK_NB) != 0) {
    int error = errno;
    ::close(lock.fd_);
    lock.fd_ = -1;
    if (error != EWOULDBLOCK) {
      throw std::runtime_error("cannot lock " + file.string() + ": " + std::strerror(error));
    }
  }
  return lock;
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor drops the lock
}

}  // namespace pelorin::posix
