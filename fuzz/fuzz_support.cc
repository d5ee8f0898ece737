#include "fuzz/fuzz_support.h"

#include <zip.h>

#include <cstdlib>
#include <string_view>

namespace pelorin::workbook::fuzz {

void DrainWorkbook(const Workbook& workbook) {
  const auto& sheets = workbook.sheets();
  if (sheets.empty() || workbook.active_sheet() < 0 ||
      workbook.active_sheet() >= static_cast<int>(sheets.size())) {
    std::abort();
  }
  for (int index = 0; index < static_cast<int>(sheets.size()); ++index) {
    const SheetInfo& info = sheets[index];
    if (info.used_rows < 0 || info.used_columns < 0 || info.used_columns > 16384) std::abort();
    const Worksheet& sheet = workbook.sheet(index);
    std::int64_t last_row = std::min<std::int64_t>(info.used_rows + 1, 5000);
    for (int column = 1; column <= std::min(info.used_columns + 1, 64); ++column) {
      std::string letters = ColumnLetters(column);
      std::vector<std::string_view> cells;
      sheet.ReadColumn(letters, 1, last_row, cells);
      if (static_cast<std::int64_t>(cells.size()) != last_row) std::abort();
      for (std::int64_t row = 1; row <= last_row; ++row) {
        if (sheet.CellText(letters, row) != cells[row - 1]) std::abort();
      }
    }
  }
}

std::string StorePackage(const std::vector<std::pair<std::string, std::string>>& parts) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  if (archive == nullptr) std::abort();
  zip_source_keep(buffer);
  for (const auto& [name, data] : parts) {
    zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
    zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
    if (index < 0) std::abort();
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  if (zip_close(archive) != 0) std::abort();
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

ReadOptions FuzzReadOptions() {
  ReadOptions options;
  options.max_inflated_bytes = 8 << 20;
  return options;
}

}  // namespace pelorin::workbook::fuzz
