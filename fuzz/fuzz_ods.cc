// A zip package, or raw XML put in as content.xml and settings.xml, read as
// .ods.
#include <string>

#include "fuzz/fuzz_support.h"
#include "workbook/ods_reader.h"
#include "workbook/zip_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin::workbook;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    if (bytes.rfind("PK", 0) != 0) {
      bytes = fuzz::StorePackage({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                  {"content.xml", bytes},
                                  {"settings.xml", bytes}});
    }
    ZipArchive archive = ZipArchive::OpenBytes(std::move(bytes), "fuzz.ods");
    fuzz::DrainWorkbook(*ReadOds(archive, fuzz::FuzzReadOptions()));
  } catch (const WorkbookError&) {
  }
  return 0;
}
