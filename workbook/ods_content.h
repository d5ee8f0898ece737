// Reads the sheets of an OpenDocument spreadsheet's content.xml: repeated
// rows and cells, typed values, paragraphs of text cells.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/column_store_sheet.h"
#include "workbook/workbook.h"
#include "workbook/zip_archive.h"

namespace pelorin::workbook {

struct OdsSheet {
  SheetInfo info;
  std::unique_ptr<ColumnStoreSheet> cells;  // null for a sheet not read
};

// Copies of a repeated non-empty cell a file may ask for in all; a file
// beyond it is refused rather than filling memory.
inline constexpr std::uint64_t kMaxRepeatedCopies = std::uint64_t{1} << 24;

std::vector<OdsSheet> ReadOdsContent(const ZipArchive& archive, std::string_view part,
                                     const ReadOptions& options);

// The one table to hand to a visitor: the first named `name` when it is
// set, else the table at `index`.
struct OdsStreamChoice {
  std::string name;
  int index = 0;
};

// Every table's name and used range, the chosen one's cells handed to
// `visitor` row by row and not kept (its `cells` stay null). `streamed` is
// set to the chosen table's place, or -1 when no table was chosen.
std::vector<OdsSheet> StreamOdsContent(const ZipArchive& archive, std::string_view part,
                                       const ReadOptions& options, const OdsStreamChoice& choice,
                                       CellVisitor& visitor, int& streamed);

// The ActiveTable named in settings.xml, or the empty text.
std::string ReadOdsActiveTable(const ZipArchive& archive, std::string_view part,
                               std::uint64_t max_bytes);

}  // namespace pelorin::workbook
