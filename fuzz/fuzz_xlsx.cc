// A zip package, or raw XML put in as a worksheet with itself as the shared
// strings and styles, read as .xlsx.
#include <string>

#include "fuzz/fuzz_support.h"
#include "workbook/xlsx_reader.h"
#include "workbook/zip_archive.h"

namespace {

std::string Wrap(const std::string& xml) {
  const char* rels =
      "<Relationships><Relationship Id=\"r1\" Type=\"x/officeDocument\" "
      "Target=\"xl/workbook.xml\"/></Relationships>";
  const char* book =
      "<workbook><bookViews><workbookView activeTab=\"0\"/></bookViews><sheets>"
      "<sheet name=\"S\" sheetId=\"1\" r:id=\"a\"/></sheets></workbook>";
  const char* book_rels =
      "<Relationships><Relationship Id=\"a\" Type=\"x/worksheet\" Target=\"worksheets/s.xml\"/>"
      "<Relationship Id=\"b\" Type=\"x/sharedStrings\" Target=\"strings.xml\"/>"
      "<Relationship Id=\"c\" Type=\"x/styles\" Target=\"styles.xml\"/></Relationships>";
  return pelorin::workbook::fuzz::StorePackage({{"_rels/.rels", rels},
                                                {"xl/workbook.xml", book},
                                                {"xl/_rels/workbook.xml.rels", book_rels},
                                                {"xl/worksheets/s.xml", xml},
                                                {"xl/strings.xml", xml},
                                                {"xl/styles.xml", xml}});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin::workbook;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    if (bytes.rfind("PK", 0) != 0) bytes = Wrap(bytes);
    ZipArchive archive = ZipArchive::OpenBytes(std::move(bytes), "fuzz.xlsx");
    fuzz::DrainWorkbook(*ReadXlsx(archive, fuzz::FuzzReadOptions()));
  } catch (const WorkbookError&) {
  }
  return 0;
}
