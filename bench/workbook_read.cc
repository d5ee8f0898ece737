// workbook_read: reads a workbook and writes every cell text of its active
// sheet (or all sheets) to stdout, tab-separated, for timing and inspection.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/workbook.h"

namespace {

void WriteSheet(const pelorin::workbook::Workbook& workbook, int index, std::FILE* out) {
  const auto& info = workbook.sheets()[index];
  const pelorin::Worksheet& sheet = workbook.sheet(index);
  std::vector<std::vector<std::string_view>> columns(info.used_columns);
  for (int column = 1; column <= info.used_columns; ++column) {
    sheet.ReadColumn(pelorin::workbook::ColumnLetters(column), 1, info.used_rows,
                     columns[column - 1]);
  }
  std::string line;
  for (std::int64_t row = 0; row < info.used_rows; ++row) {
    line.clear();
    for (int column = 0; column < info.used_columns; ++column) {
      if (column > 0) line += '\t';
      line += columns[column][row];
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: workbook_read FILE [--all]\n");
    return 2;
  }
  bool all = argc > 2 && std::string_view(argv[2]) == "--all";
  try {
    auto workbook = pelorin::workbook::OpenWorkbook(argv[1]);
    int count = static_cast<int>(workbook->sheets().size());
    for (int index = 0; index < count; ++index) {
      if (!all && index != workbook->active_sheet()) continue;
      if (all) std::printf("== %s\n", workbook->sheets()[index].name.c_str());
      WriteSheet(*workbook, index, stdout);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "workbook_read: %s\n", error.what());
    return 1;
  }
  return 0;
}
