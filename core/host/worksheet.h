// A worksheet as the messaging rules see it: cell text by column letters and
// row number, and a bulk read of a block of rows for speed.
#pragma once

#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// Thrown for an address the worksheet refuses ("12" as a column, row 0).
class CellAddressError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Worksheet {
 public:
  virtual ~Worksheet() = default;

  // The cell's value as text by the spreadsheet's default conversion; the
  // empty text for an empty cell. Throws CellAddressError.
  virtual std::string CellText(std::string_view column, std::int64_t row) const = 0;

  // The texts of rows first..last of one column, appended to `cells` (one
  // entry per row). The views stay valid while the worksheet lives. Throws
  // CellAddressError when any address of the block is refused; the default
  // reads cell by cell and keeps the texts itself.
  virtual void ReadColumn(std::string_view column, std::int64_t first_row, std::int64_t last_row,
                          std::vector<std::string_view>& cells) const;

 protected:
  // A deque keeps earlier texts in place, so the views handed out stay valid.
  mutable std::deque<std::string> read_cache_;
};

// True for an address a spreadsheet with columns A..IV and rows 1.. accepts.
bool IsValidColumnName(std::string_view column);

}  // namespace pelorin
