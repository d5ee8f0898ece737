#include "workbook/file_bytes.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "workbook/workbook.h"

namespace pelorin::workbook {

std::string ReadFileBytes(const std::string& path, const std::string& label) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    throw WorkbookError(label + ": cannot open: is a directory");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw WorkbookError(label + ": cannot open: " + std::strerror(errno));
  std::string bytes;
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size > 0) bytes.resize(static_cast<std::size_t>(size));
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
    throw WorkbookError(label + ": cannot read the file");
  }
  return bytes;
}

}  // namespace pelorin::workbook
