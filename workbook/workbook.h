// A workbook read from a file (.csv, .xlsx, .xls, .ods): its sheets' names, which
// one is active, and each sheet as a Worksheet the messaging rules can read.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/worksheet.h"

namespace pelorin::workbook {

// An unreadable input: what() is one line naming the file and, where known,
// the place in it ("contacts.csv: line 17: unterminated quote").
class WorkbookError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct SheetInfo {
  std::string name;
  std::int64_t used_rows = 0;  // the last row holding a value
  int used_columns = 0;        // the last column holding a value (1 = A)
};

struct ReadOptions {
  // Only these columns (1 = A) are kept in memory; all when empty.
  std::set<int> columns;
  // Read only this sheet (0-based index) when set; the others are listed
  // with their names but may report 0 used rows and columns.
  std::optional<int> only_sheet;
  // A cap on the bytes a compressed part may inflate to; beyond it the
  // file is refused as a decompression bomb.
  std::uint64_t max_inflated_bytes = std::uint64_t{4} << 30;
};

class Workbook {
 public:
  virtual ~Workbook() = default;
  virtual const std::vector<SheetInfo>& sheets() const = 0;
  virtual int active_sheet() const = 0;  // index into sheets()
  // Throws WorkbookError for an index out of range or a sheet not read.
  virtual const Worksheet& sheet(int index) const = 0;
};

// Receives a sheet's cells as a reader meets them: in the order of the
// file, which for an .xlsx or .ods is row by row, left to right. Cells with
// no text are left out.
class CellVisitor {
 public:
  virtual ~CellVisitor() = default;
  virtual void Cell(int column, std::int64_t row, std::string_view text) = 0;
};

// Picks the reader by the file's extension (case-insensitive). Throws
// WorkbookError.
std::unique_ptr<Workbook> OpenWorkbook(const std::string& path, const ReadOptions& options = {});

// Reads one sheet (options.only_sheet, or else the active one) and hands
// its cells to `visitor` without keeping them: an .xlsx sheet is read in
// the memory of a few rows. Returns the sheet's name and used range.
// Throws WorkbookError, and lets through what the visitor throws.
SheetInfo StreamSheet(const std::string& path, CellVisitor& visitor,
                      const ReadOptions& options = {});

// Column letters of a 1-based column number ("A", "Z", "AA") and back (0
// when the letters are not a column name).
std::string ColumnLetters(int column);
int ColumnNumber(std::string_view letters);

}  // namespace pelorin::workbook
