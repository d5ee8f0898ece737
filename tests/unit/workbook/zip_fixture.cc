#include "tests/unit/workbook/zip_fixture.h"

#include <zip.h>

#include <stdexcept>

#include "workbook/workbook.h"

namespace pelorin::workbook::testing {

std::string MakeZip(const ZipEntries& entries) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  if (archive == nullptr) throw std::runtime_error("zip_open_from_source failed");
  zip_source_keep(buffer);
  for (const auto& [name, data] : entries) {
    zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
    zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
    if (index < 0) throw std::runtime_error("zip_file_add failed for " + name);
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9);
  }
  if (zip_close(archive) != 0) throw std::runtime_error("zip_close failed");
  zip_source_open(buffer);
  zip_source_seek(buffer, 0, SEEK_END);
  zip_int64_t size = zip_source_tell(buffer);
  zip_source_seek(buffer, 0, SEEK_SET);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  zip_source_read(buffer, bytes.data(), bytes.size());
  zip_source_close(buffer);
  zip_source_free(buffer);
  zip_error_fini(&error);
  return bytes;
}

std::vector<std::string> SheetRows(const Worksheet& sheet, std::int64_t rows, int columns) {
  std::vector<std::string> out;
  for (std::int64_t row = 1; row <= rows; ++row) {
    std::string line;
    for (int column = 1; column <= columns; ++column) {
      if (column > 1) line += '|';
      line += sheet.CellText(ColumnLetters(column), row);
    }
    out.push_back(line);
  }
  return out;
}

}  // namespace pelorin::workbook::testing
