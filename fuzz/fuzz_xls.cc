// An Excel 97-2003 workbook file, or a raw workbook stream put into a
// container, read as .xls (FreeXL needs a file: the input is written to one).
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "fuzz/fuzz_support.h"
#include "tests/unit/workbook/biff_fixture.h"
#include "workbook/compound_file.h"
#include "workbook/workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin::workbook;
  static const std::string path = "/tmp/pelorin-fuzz-xls-" + std::to_string(::getpid()) + ".xls";
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!CompoundFile::HasSignature(bytes)) {
    bytes.resize(std::min<std::size_t>(bytes.size(), 60000));  // what one table sector maps
    bytes = testing::CompoundFileOf({{"Workbook", bytes}});
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  try {
    fuzz::DrainWorkbook(*OpenWorkbook(path, fuzz::FuzzReadOptions()));
  } catch (const WorkbookError&) {
  }
  return 0;
}
