#include "workbook/ods_reader.h"

#include "workbook/loaded_workbook.h"
#include "workbook/ods_content.h"

namespace pelorin::workbook {

std::unique_ptr<Workbook> ReadOds(const ZipArchive& archive, const ReadOptions& options) {
  if (!archive.Has("content.xml")) {
    throw WorkbookError(archive.label() + ": not an ods spreadsheet (no content.xml)");
  }
  std::vector<OdsSheet> sheets = ReadOdsContent(archive, "content.xml", options);
  if (sheets.empty()) throw WorkbookError(archive.label() + ": the spreadsheet has no sheets");
  if (options.only_sheet && (*options.only_sheet < 0 ||
                             *options.only_sheet >= static_cast<int>(sheets.size()))) {
    throw WorkbookError(archive.label() + ": no sheet " + std::to_string(*options.only_sheet + 1) +
                        " (the workbook has " + std::to_string(sheets.size()) + ")");
  }
  std::string active;
  if (archive.Has("settings.xml")) {
    active = ReadOdsActiveTable(archive, "settings.xml", options.max_inflated_bytes);
  }
  auto workbook = std::make_unique<LoadedWorkbook>(archive.label());
  for (std::size_t index = 0; index < sheets.size(); ++index) {
    if (sheets[index].info.name == active) workbook->set_active_sheet(static_cast<int>(index));
    workbook->AddSheet(std::move(sheets[index].info), std::move(sheets[index].cells));
  }
  return workbook;
}

}  // namespace pelorin::workbook
