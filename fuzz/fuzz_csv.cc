// Any bytes as CSV text: the reader either refuses them or yields a sheet
// whose cells read back consistently.
#include <cstdlib>
#include <string_view>

#include "workbook/csv_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin::workbook;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    auto workbook = ReadCsv(text, "fuzz", "fuzz.csv", {});
    const SheetInfo& info = workbook->sheets().at(0);
    // Every line ends a row, so there are never more rows than lines.
    std::int64_t lines = 1;
    for (char c : text) lines += c == '\n' || c == '\r';
    if (info.used_rows > lines) std::abort();
    for (std::int64_t row = 1; row <= std::min<std::int64_t>(info.used_rows, 200); ++row) {
      for (int column = 1; column <= std::min(info.used_columns, 20); ++column) {
        workbook->sheet(0).CellText(ColumnLetters(column), row);
      }
    }
  } catch (const WorkbookError&) {
  }
  return 0;
}
