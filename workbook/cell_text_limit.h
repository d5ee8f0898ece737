// The most text one spreadsheet cell holds, and how readers keep a hostile
// file's giant cell from costing memory: they stop collecting a cell's text
// once it is certain to be too long, and the sheet builder refuses it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "workbook/workbook.h"

namespace pelorin::workbook {

inline constexpr std::size_t kMaxCellCharacters = 32767;

// A reader may stop collecting a cell's raw text at this many bytes: no
// escape of these formats packs more than 8 bytes into one character, so the
// text is over the limit whatever it decodes to.
inline constexpr std::size_t kMaxCellTextBytes = 8 * (kMaxCellCharacters + 1);

// More than kMaxCellCharacters characters (code points).
bool IsOverlongCellText(std::string_view text);

// Appends as much of `piece` as keeps `text` within kMaxCellTextBytes;
// true once the text reached that size and is certainly too long, so that
// a reader can refuse the cell at once instead of reading the rest of it.
bool AppendCellText(std::string& text, std::string_view piece);

// A text just over the limit, for a reader that dropped an overlong text
// and must still have the cell that uses it refused.
std::string_view OverlongCellStandIn();

// A cell over the limit. The sheet builder names the sheet, row and column;
// OpenWorkbook and StreamSheet put the file's name in front.
class OverlongCellError : public WorkbookError {
 public:
  using WorkbookError::WorkbookError;
};

}  // namespace pelorin::workbook
