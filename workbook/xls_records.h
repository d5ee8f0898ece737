// The records of an Excel 97-2003 (BIFF8, and BIFF5) workbook stream that
// the text reader leaves aside: which sheet is active, whether the file is
// encrypted, each sheet's declared size, and the cells that hold numbers,
// dates, booleans, errors and formula results, shown as text by the same
// rules as the other readers.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/number_text.h"

namespace pelorin::workbook {

// What is wrong with a damaged stream, without the file's name.
class XlsFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct XlsSheetEntry {
  std::string name;        // UTF-8 (BIFF5 names read as Latin-1)
  bool worksheet = false;  // false for chart, macro and module sheets
  std::uint32_t offset = 0;  // of the sheet's first record in the stream
};

struct XlsGlobals {
  int biff_version = 8;  // 5 or 8
  bool encrypted = false;  // the rest of the stream is unreadable
  bool date1904 = false;
  int active_tab = 0;  // index into sheets
  std::vector<XlsSheetEntry> sheets;
  std::vector<DateKind> xf_kinds;  // by cell format (XF) index
};

struct XlsValueCell {
  std::uint32_t row = 0;     // 0-based
  std::uint16_t column = 0;  // 0-based
  std::string text;
};

struct XlsSheetValues {
  // The declared size: one past the last row and column holding anything.
  std::uint32_t rows = 0;
  std::uint32_t columns = 0;
  std::vector<XlsValueCell> cells;  // in stream order
  std::uint64_t cell_records = 0;   // cells of any kind, blanks included
};

// Reads the workbook globals at the start of the stream. Throws
// XlsFormatError.
XlsGlobals ScanXlsGlobals(std::string_view stream);

// Reads the sheet whose records start at `entry.offset`. With
// `shared_strings` (a BIFF8 workbook's, from ScanXlsSharedStrings), its text
// cells are read too. Throws XlsFormatError.
XlsSheetValues ScanXlsSheet(std::string_view stream, const XlsGlobals& globals,
                            const XlsSheetEntry& entry,
                            const std::vector<std::string>* shared_strings = nullptr);

// The shared string table of a BIFF8 workbook, its texts going on in
// CONTINUE records as long ones do. Throws XlsFormatError.
std::vector<std::string> ScanXlsSharedStrings(std::string_view stream);

}  // namespace pelorin::workbook
