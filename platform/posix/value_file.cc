#include "platform/posix/value_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "core/text/whole_number.h"

namespace pelorin::posix {
namespace {

constexpr mode_t kPrivateFile = 0600;
constexpr mode_t kPrivateDirectory = 0700;

std::runtime_error SystemError(const std::string& what, const std::filesystem::path& path,
                               int error) {
  return std::runtime_error(what + " " + path.string() + ": " + std::strerror(error));
}

// Closes the descriptor on every way out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now so that a failing close (a late write error) is seen.
  int Close() {
    int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// False also when the file holds more than `limit` bytes.
bool ReadAll(int fd, std::string& contents, std::size_t limit) {
  char buffer[8192];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (contents.size() + static_cast<size_t>(got) > limit) return false;
    contents.append(buffer, static_cast<size_t>(got));
  }
}

// The process id in a temporary file's name (".tmp-PID-N"), or 0.
pid_t WriterOf(std::string_view name) {
  constexpr std::string_view kPrefix = ".tmp-";
  if (name.substr(0, kPrefix.size()) != kPrefix) return 0;
  name.remove_prefix(kPrefix.size());
  pid_t pid = 0;
  if (!ParseWholeNumber(name.substr(0, name.find('-')), pid)) return 0;
  return pid;
}

bool IsRunning(pid_t pid) { return ::kill(pid, 0) == 0 || errno != ESRCH; }

void SyncDirectory(const std::filesystem::path& directory) {
  FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) throw SystemError("cannot open the folder", directory, errno);
  if (::fsync(fd.get()) != 0) throw SystemError("cannot flush the folder", directory, errno);
}

// A name no value file has (those never start with "."), unique among the
// processes and threads writing now.
std::filesystem::path TemporaryName(const std::filesystem::path& directory) {
  static std::atomic<unsigned long> counter{0};
  return directory / (".tmp-" + std::to_string(::getpid()) + "-" +
                      std::to_string(counter.fetch_add(1)));
}

// Opens a fresh private temporary file; a name left behind by a killed writer
// with the same process id is skipped.
int CreateTemporaryFile(const std::filesystem::path& directory, std::filesystem::path& name) {
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    name = TemporaryName(directory);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                    kPrivateFile);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

void WriteTemporaryFile(int fd, const std::filesystem::path& name, std::string_view contents) {
  // The mode given to open is cut by the umask; the file must be 0600 exactly.
  if (::fchmod(fd, kPrivateFile) != 0) throw SystemError("cannot protect", name, errno);
  if (!WriteAll(fd, contents)) throw SystemError("cannot write", name, errno);
  if (::fsync(fd) != 0) throw SystemError("cannot flush", name, errno);
}

void MakeDirectory(const std::filesystem::path& directory) {
  struct stat status {};
  if (::stat(directory.c_str(), &status) == 0) return;
  if (::mkdir(directory.c_str(), kPrivateDirectory) == 0 || errno == EEXIST) return;
  throw SystemError("cannot create the folder", directory, errno);
}

// The bytes of a regular file of at most `limit` bytes, opened without
// blocking so that a FIFO put in a value's place cannot hang the reader.
std::optional<std::string> ReadRegularFile(const std::filesystem::path& file, std::uint64_t limit) {
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) return std::nullopt;
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<std::uint64_t>(status.st_size) > limit) {
    return std::nullopt;
  }
  std::string contents;
  if (!ReadAll(fd.get(), contents, limit)) return std::nullopt;
  return contents;
}

}  // namespace

std::optional<std::string> ReadValueFile(const std::filesystem::path& file) {
  std::optional<std::string> contents = ReadRegularFile(file, kMaxValueFileBytes);
  if (!contents) return std::nullopt;
  return DecodeValueFile(*contents);
}

std::optional<std::string> ReadAppendedValueFile(const std::filesystem::path& file,
                                                 std::uint64_t limit) {
  std::optional<std::string> contents = ReadRegularFile(file, limit);
  if (!contents) return std::nullopt;
  return DecodeAppendedValueFile(*contents);
}

void AppendValueFile(const std::filesystem::path& file, std::string_view value) {
  // Only to a file a replace made: never created here, never through a link.
  FileDescriptor fd(::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW));
  if (fd.get() < 0) throw SystemError("cannot open", file, errno);
  // One write of the whole frame: a reader sees it whole or cut short.
  if (!WriteAll(fd.get(), EncodeValueFile(value))) throw SystemError("cannot write", file, errno);
  if (::fdatasync(fd.get()) != 0) throw SystemError("cannot flush", file, errno);
  if (fd.Close() != 0) throw SystemError("cannot write", file, errno);
}

void RemoveStaleTemporaryFiles(const std::filesystem::path& directory) {
  DIR* listing = ::opendir(directory.c_str());
  if (listing == nullptr) return;
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(listing)) {
    pid_t writer = WriterOf(entry->d_name);
    if (writer > 0 && (writer == self || !IsRunning(writer))) {
      ::unlink((directory / entry->d_name).c_str());
    }
  }
  ::closedir(listing);
}

void ReplaceValueFile(const std::filesystem::path& file, std::string_view value) {
  const std::filesystem::path directory = file.parent_path();
  std::filesystem::path temporary;
  FileDescriptor fd(CreateTemporaryFile(directory, temporary));
  if (fd.get() < 0) throw SystemError("cannot create a file in", directory, errno);
  try {
    WriteTemporaryFile(fd.get(), temporary, EncodeValueFile(value));
    if (fd.Close() != 0) throw SystemError("cannot write", temporary, errno);
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
      throw SystemError("cannot replace", file, errno);
    }
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
  SyncDirectory(directory);
}

void DeleteValueFile(const std::filesystem::path& file) {
  if (::unlink(file.c_str()) != 0) {
    if (errno == ENOENT) return;
    throw SystemError("cannot delete", file, errno);
  }
  SyncDirectory(file.parent_path());
}

void EnsurePrivateDirectory(const std::filesystem::path& directory) {
  std::filesystem::path partial;
  for (const std::filesystem::path& part : directory) {
    partial /= part;
    if (part == partial.root_path() || part.empty()) continue;
    MakeDirectory(partial);
  }
  struct stat status {};
  if (::stat(directory.c_str(), &status) != 0) {
    throw SystemError("cannot reach the folder", directory, errno);
  }
  if (!S_ISDIR(status.st_mode)) throw SystemError("not a folder:", directory, ENOTDIR);
  if ((status.st_mode & 07777) != kPrivateDirectory &&
      ::chmod(directory.c_str(), kPrivateDirectory) != 0) {
    throw SystemError("cannot protect the folder", directory, errno);
  }
}

}  // namespace pelorin::posix
