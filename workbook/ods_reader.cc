#include "workbook/ods_reader.h"

#include "workbook/loaded_workbook.h"
#include "workbook/ods_content.h"

namespace pelorin::workbook {

namespace {

void RequireContent(const ZipArchive& archive) {
  if (!archive.Has("content.xml")) {
    throw WorkbookError(archive.label() + ": not an ods spreadsheet (no content.xml)");
  }
}

void CheckSheets(const ZipArchive& archive, const ReadOptions& options, std::size_t count) {
  if (count == 0) throw WorkbookError(archive.label() + ": the spreadsheet has no sheets");
  if (options.only_sheet && (*options.only_sheet < 0 ||
                             *options.only_sheet >= static_cast<int>(count))) {
    throw WorkbookError(archive.label() + ": no sheet " + std::to_string(*options.only_sheet + 1) +
                        " (the workbook has " + std::to_string(count) + ")");
  }
}

std::string ActiveTable(const ZipArchive& archive, const ReadOptions& options) {
  if (!archive.Has("settings.xml")) return "";
  return ReadOdsActiveTable(archive, "settings.xml", options.max_inflated_bytes);
}

}  // namespace

std::unique_ptr<Workbook> ReadOds(const ZipArchive& archive, const ReadOptions& options) {
  RequireContent(archive);
  std::vector<OdsSheet> sheets = ReadOdsContent(archive, "content.xml", options);
  CheckSheets(archive, options, sheets.size());
  std::string active = ActiveTable(archive, options);
  auto workbook = std::make_unique<LoadedWorkbook>(archive.label());
  bool active_found = false;
  for (std::size_t index = 0; index < sheets.size(); ++index) {
    // Table names are unique in a sound file; in another the first counts,
    // as when a sheet is streamed.
    if (!active_found && sheets[index].info.name == active) {
      workbook->set_active_sheet(static_cast<int>(index));
      active_found = true;
    }
    workbook->AddSheet(std::move(sheets[index].info), std::move(sheets[index].cells));
  }
  return workbook;
}

SheetInfo StreamOdsSheet(const ZipArchive& archive, const ReadOptions& options,
                         CellVisitor& visitor) {
  RequireContent(archive);
  // The active table must be known before content.xml passes by.
  OdsStreamChoice choice;
  if (options.only_sheet) {
    choice.index = *options.only_sheet;
  } else {
    choice.name = ActiveTable(archive, options);
  }
  int streamed = -1;
  std::vector<OdsSheet> sheets =
      StreamOdsContent(archive, "content.xml", options, choice, visitor, streamed);
  CheckSheets(archive, options, sheets.size());
  if (streamed < 0) {
    // No table bears the active name: the first sheet is the active one,
    // and nothing was handed to the visitor yet.
    choice = OdsStreamChoice{};
    sheets = StreamOdsContent(archive, "content.xml", options, choice, visitor, streamed);
  }
  return sheets[static_cast<std::size_t>(streamed)].info;
}

}  // namespace pelorin::workbook
