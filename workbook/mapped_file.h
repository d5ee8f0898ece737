// A whole input file mapped read-only into memory: pages are loaded as they
// are read and can be dropped again by the system, so a large file costs
// only what is looked at.
#pragma once

#include <string>
#include <string_view>

namespace pelorin::workbook {

class MappedFile {
 public:
  // Throws WorkbookError "<label>: cannot open: <reason>".
  MappedFile(const std::string& path, const std::string& label);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view bytes() const { return {data_, size_}; }

 private:
  const char* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace pelorin::workbook
