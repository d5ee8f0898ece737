#include "workbook/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "workbook/workbook.h"

namespace pelorin::workbook {

MappedFile::MappedFile(const std::string& path, const std::string& label) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw WorkbookError(label + ": cannot open: " + std::strerror(errno));
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    throw WorkbookError(label + ": cannot open: " +
                        (S_ISDIR(status.st_mode) ? "is a directory" : "not a regular file"));
  }
  size_ = static_cast<std::size_t>(status.st_size);
  if (size_ > 0) {
    void* mapped = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED) {
      int error = errno;
      ::close(fd);
      throw WorkbookError(label + ": cannot read the file: " + std::strerror(error));
    }
    ::madvise(mapped, size_, MADV_SEQUENTIAL);
    data_ = static_cast<const char*>(mapped);
  }
  ::close(fd);
}

MappedFile::~MappedFile() {
  if (data_ != nullptr) ::munmap(const_cast<char*>(data_), size_);
}

}  // namespace pelorin::workbook
