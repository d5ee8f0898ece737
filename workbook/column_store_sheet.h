// A worksheet kept column by column: each column's cell texts in one byte
// buffer with offsets, so a bulk read hands out views without copying.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/worksheet.h"
#include "workbook/growing_array.h"
#include "workbook/workbook.h"

namespace pelorin::workbook {

class ColumnStoreSheet : public Worksheet, public CellVisitor {
 public:
  // A column keeps 32-bit offsets, half the memory of a row's cell, until
  // its text passes `narrow_limit` bytes (4 GiB; less only in tests).
  explicit ColumnStoreSheet(std::uint64_t narrow_limit = std::numeric_limits<std::uint32_t>::max())
      : narrow_limit_(narrow_limit) {}

  // Rows must be given in increasing order within a column; a row skipped
  // is an empty cell. Columns are 1-based (1 = A).
  void SetCell(int column, std::int64_t row, std::string_view text);
  void Cell(int column, std::int64_t row, std::string_view text) override {
    SetCell(column, row, text);
  }

  std::string CellText(std::string_view column, std::int64_t row) const override;
  void ReadColumn(std::string_view column, std::int64_t first_row, std::int64_t last_row,
                  std::vector<std::string_view>& cells) const override;

  std::int64_t used_rows() const { return used_rows_; }
  int used_columns() const { return static_cast<int>(columns_.size()); }

 private:
  struct Column {
    Column() { narrow.push_back(0); }
    GrowingArray<char> bytes;
    // Row r's text is bytes from offset(r - 1) to offset(r); rows past the
    // end are empty. `narrow` is used until the text outgrows it, `wide`
    // after.
    GrowingArray<std::uint32_t> narrow;
    GrowingArray<std::uint64_t> wide;

    std::size_t ends() const { return wide.empty() ? narrow.size() : wide.size(); }
    std::uint64_t offset(std::size_t index) const {
      return wide.empty() ? narrow[index] : wide[index];
    }
    void AddEnd(std::uint64_t end, std::uint64_t narrow_limit);
  };
  const Column* FindColumn(std::string_view letters, std::int64_t row) const;
  static std::string_view CellOf(const Column& column, std::int64_t row);

  std::vector<Column> columns_;
  std::int64_t used_rows_ = 0;
  std::uint64_t narrow_limit_;
};

}  // namespace pelorin::workbook
