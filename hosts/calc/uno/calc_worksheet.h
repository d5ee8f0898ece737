// A Calc sheet as core's worksheet: a cell's text as Calc shows it, and a
// block of one column read in one call.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include "core/host/worksheet.h"

namespace pelorin::calc {

class CalcWorksheet : public Worksheet {
 public:
  explicit CalcWorksheet(css::uno::Reference<css::sheet::XSpreadsheet> sheet);

  std::string CellText(std::string_view column, std::int64_t row) const override;
  // One getDataArray call for the block; only numbers, dates and errors,
  // which the array holds as values, are asked for their shown text.
  void ReadColumn(std::string_view column, std::int64_t first_row, std::int64_t last_row,
                  std::vector<std::string_view>& cells) const override;

  const css::uno::Reference<css::sheet::XSpreadsheet>& sheet() const { return sheet_; }
  // Time spent in reads and how many block reads there were, for the
  // measurements of a send.
  std::chrono::nanoseconds read_time() const { return read_time_; }
  std::int64_t block_reads() const { return block_reads_; }

 private:
  void ReadBlock(std::string_view column, std::int64_t first_row, std::int64_t last_row,
                 std::vector<std::string_view>& cells) const;
  // With PELORIN_CALC_READ_LOG naming a file, each block read appends the
  // running totals to it: how long a send spent reading the sheet.
  void LogReads() const;
  sal_Int32 ColumnIndex(std::string_view column, std::int64_t row) const;
  sal_Int32 RowIndex(std::string_view column, std::int64_t row) const;

  css::uno::Reference<css::sheet::XSpreadsheet> sheet_;
  // The texts of the block being read and of the one before it: core uses a
  // block's views until it reads the next block, and reads several columns
  // of one block in a row.
  mutable std::deque<std::string> block_texts_;
  mutable std::deque<std::string> previous_block_texts_;
  mutable std::int64_t block_first_ = -1;
  mutable std::int64_t block_last_ = -1;
  mutable std::chrono::nanoseconds read_time_{0};
  mutable std::int64_t block_reads_ = 0;
  mutable std::int64_t rows_read_ = 0;
  std::string read_log_;
};

// "A" -> 0, "AB" -> 27; -1 when the letters are no column.
int ColumnIndexOf(std::string_view letters);

}  // namespace pelorin::calc
