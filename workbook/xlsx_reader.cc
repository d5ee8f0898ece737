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

// What every sheet of the workbook is read with.
struct XlsxBook {
  XlsxWorkbookPart book;
  std::vector<XlsxRelationship> relationships;
  XlsxSharedStrings strings;
  XlsxStyles styles;
};

XlsxBook ReadBook(const ZipArchive& archive, const ReadOptions& options) {
  std::uint64_t cap = options.max_inflated_bytes;
  std::string workbook_part = FindWorkbookPart(archive, cap);
  if (!archive.Has(workbook_part)) {
    throw WorkbookError(archive.label() + ": not an xlsx workbook (no " + workbook_part + ")");
  }
  XlsxBook result;
  result.book = ReadWorkbookPart(archive, workbook_part, cap);
  if (result.book.sheets.empty()) {
    throw WorkbookError(archive.label() + ": the workbook has no sheets");
  }
  int sheet_count = static_cast<int>(result.book.sheets.size());
  if (options.only_sheet && (*options.only_sheet < 0 || *options.only_sheet >= sheet_count)) {
    throw WorkbookError(archive.label() + ": no sheet " + std::to_string(*options.only_sheet + 1) +
                        " (the workbook has " + std::to_string(sheet_count) + ")");
  }
  result.relationships = ReadRelationships(archive, workbook_part, cap);
  if (const XlsxRelationship* part = FindByType(result.relationships, "sharedStrings");
      part != nullptr && archive.Has(part->target)) {
    result.strings = ReadSharedStrings(archive, part->target, cap);
  }
  if (const XlsxRelationship* part = FindByType(result.relationships, "styles");
      part != nullptr && archive.Has(part->target)) {
    result.styles = ReadStyles(archive, part->target, cap);
  }
  return result;
}

int ActiveSheet(const XlsxBook& book) {
  int count = static_cast<int>(book.book.sheets.size());
  return book.book.active_tab >= 0 && book.book.active_tab < count ? book.book.active_tab : 0;
}

void ReadSheet(const ZipArchive& archive, const XlsxBook& book, std::size_t index,
               std::uint64_t cap, SheetBuilder& builder) {
  XlsxSheetContext context{book.strings, book.styles, book.book.date1904};
  const XlsxSheetEntry& entry = book.book.sheets[index];
  ReadXlsxSheet(archive, SheetPart(archive, entry, book.relationships), cap, context, builder);
}

}  // namespace

std::unique_ptr<Workbook> ReadXlsx(const ZipArchive& archive, const ReadOptions& options) {
  XlsxBook book = ReadBook(archive, options);
  auto workbook = std::make_unique<LoadedWorkbook>(archive.label());
  for (std::size_t index = 0; index < book.book.sheets.size(); ++index) {
    const XlsxSheetEntry& entry = book.book.sheets[index];
    if (options.only_sheet && *options.only_sheet != static_cast<int>(index)) {
      workbook->AddSheet(SheetInfo{entry.name}, nullptr);
      continue;
    }
    SheetBuilder builder(options);
    builder.set_place(archive.label(), entry.name);
    ReadSheet(archive, book, index, options.max_inflated_bytes, builder);
    workbook->AddSheet(builder.info(entry.name), builder.Take());
  }
  workbook->set_active_sheet(ActiveSheet(book));
  return workbook;
}

SheetInfo StreamXlsxSheet(const ZipArchive& archive, const ReadOptions& options,
                          CellVisitor& visitor) {
  XlsxBook book = ReadBook(archive, options);
  std::size_t index = static_cast<std::size_t>(options.only_sheet.value_or(ActiveSheet(book)));
  SheetBuilder builder(options, visitor);
  builder.set_place(archive.label(), book.book.sheets[index].name);
  ReadSheet(archive, book, index, options.max_inflated_bytes, builder);
  return builder.info(book.book.sheets[index].name);
}

}  // namespace pelorin::workbook
