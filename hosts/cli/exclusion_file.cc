#include "hosts/cli/exclusion_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/messaging/exclusion_list.h"
#include "hosts/cli/send_selection.h"
#include "workbook/workbook.h"

namespace pelorin::cli {
namespace {

bool IsWorkbookFile(std::string path) {
  std::transform(path.begin(), path.end(), path.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return path.ends_with(".csv") || path.ends_with(".xlsx") || path.ends_with(".ods");
}

class FirstColumn : public workbook::CellVisitor {
 public:
  void Cell(int column, std::int64_t, std::string_view text) override {
    if (column == 1) entries.emplace_back(text);
  }
  std::vector<std::string> entries;
};

}  // namespace

std::vector<std::string> ReadExclusionEntries(const std::string& path) {
  if (IsWorkbookFile(path)) {
    FirstColumn first_column;
    workbook::ReadOptions options;
    options.columns = {1};
    try {
      workbook::StreamSheet(path, first_column, options);
    } catch (const workbook::WorkbookError& error) {
      throw UsageError(std::string("--exclude: ") + error.what());
    }
    return std::move(first_column.entries);
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) throw UsageError("--exclude: cannot read " + path);
  const std::string text((std::istreambuf_iterator<char>(file)), {});
  return SplitListLines(text);
}

}  // namespace pelorin::cli
