#include "workbook/xlsx_reader.h"

#include "workbook/loaded_workbook.h"
#include "workbook/xlsx_parts.h"
#include "workbook/xlsx_sheet.h"

namespace pelorin::workbook {
namespace {

const XlsxRelationship* FindById(const std::vector<XlsxRelationship>& relationships,
                                 std::string_view id) {
  for (const XlsxRelationship& relationship : relationships) {
    if (relationship.id == id) return &relationship;
  }
  return nullptr;
}

const XlsxRelationship* FindByType(const std::vector<XlsxRelationship>& relationships,
                                   std::string_view type) {
  for (const XlsxRelationship& relationship : relationships) {
    if (relationship.type == type) return &relationship;
  }
  return nullptr;
}

std::string SheetPart(const ZipArchive& archive, const XlsxSheetEntry& entry,
                      const std::vector<XlsxRelationship>& relationships) {
  const XlsxRelationship* relationship = FindById(relationships, entry.relationship_id);
  std::string place = archive.label() + ": sheet \"" + entry.name + "\"";
  if (relationship == nullptr) throw WorkbookError(place + ": no part is linked to it");
  if (!archive.Has(relationship->target)) {
    throw WorkbookError(place + ": part " + relationship->target + " is missing");
  }
  return relationship->target;
}

}  // namespace

std::unique_ptr<Workbook> ReadXlsx(const ZipArchive& archive, const ReadOptions& options) {
  std::uint64_t cap = options.max_inflated_bytes;
  std::string workbook_part = FindWorkbookPart(archive, cap);
  if (!archive.Has(workbook_part)) {
    throw WorkbookError(archive.label() + ": not an xlsx workbook (no " + workbook_part + ")");
  }
  XlsxWorkbookPart book = ReadWorkbookPart(archive, workbook_part, cap);
  if (book.sheets.empty()) throw WorkbookError(archive.label() + ": the workbook has no sheets");
  int sheet_count = static_cast<int>(book.sheets.size());
  if (options.only_sheet && (*options.only_sheet < 0 || *options.only_sheet >= sheet_count)) {
    throw WorkbookError(archive.label() + ": no sheet " + std::to_string(*options.only_sheet + 1) +
                        " (the workbook has " + std::to_string(sheet_count) + ")");
  }
  std::vector<XlsxRelationship> relationships = ReadRelationships(archive, workbook_part, cap);

  XlsxSharedStrings strings;
  if (const XlsxRelationship* part = FindByType(relationships, "sharedStrings");
      part != nullptr && archive.Has(part->target)) {
    strings = ReadSharedStrings(archive, part->target, cap);
  }
  XlsxStyles styles;
  if (const XlsxRelationship* part = FindByType(relationships, "styles");
      part != nullptr && archive.Has(part->target)) {
    styles = ReadStyles(archive, part->target, cap);
  }

  auto workbook = std::make_unique<LoadedWorkbook>(archive.label());
  XlsxSheetContext context{strings, styles, book.date1904};
  for (std::size_t index = 0; index < book.sheets.size(); ++index) {
    const XlsxSheetEntry& entry = book.sheets[index];
    if (options.only_sheet && *options.only_sheet != static_cast<int>(index)) {
      workbook->AddSheet(SheetInfo{entry.name}, nullptr);
      continue;
    }
    SheetBuilder builder(options);
    ReadXlsxSheet(archive, SheetPart(archive, entry, relationships), cap, context, builder);
    workbook->AddSheet(builder.info(entry.name), builder.Take());
  }
  workbook->set_active_sheet(book.active_tab >= 0 && book.active_tab < sheet_count ? book.active_tab
                                                                                    : 0);
  return workbook;
}

}  // namespace pelorin::workbook
