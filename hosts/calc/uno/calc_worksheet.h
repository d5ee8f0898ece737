// A Calc sheet as core's worksheet: a cell's text as Calc shows it, and a
// block of one column read in one call.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/XCellRange.hpp>

#include "core/host/worksheet.h"
#include "hosts/calc/uno/general_number_format.h"

namespace pelorin::calc {

class CalcWorksheet : public Worksheet {
 public:
  // `formats` (the sheet's document) and `context` let numbers in General
  // cells be turned into text here; without them every number is asked for
  // its shown text.
  CalcWorksheet(css::uno::Reference<css::sheet::XSpreadsheet> sheet,
                css::uno::Reference<css::util::XNumberFormatsSupplier> formats,
                css::uno::Reference<css::uno::XComponentContext> context);

  std::string CellText(std::string_view column, std::int64_t row) const override;
  // One getDataArray call for the block. Numbers in cells of the General
  // format become core's general number text; only numbers in other formats
  // (dates, percent, currency ...), formula results (Calc shows them in the
  // formula's own format) and errors are asked for their shown text.
  void ReadColumn(std::string_view column, std::int64_t first_row, std::int64_t last_row,
                  std::vector<std::string_view>& cells) const override;

  const css::uno::Reference<css::sheet::XSpreadsheet>& sheet() const { return sheet_; }
  // Time spent in reads and how many block reads there were, for the
  // measurements of a send.
  std::chrono::nanoseconds read_time() const { return read_time_; }
  std::int64_t block_reads() const { return block_reads_; }
  // How many cells of the block reads were asked for their shown text.
  std::int64_t shown_text_reads() const { return shown_text_reads_; }

 private:
  void ReadBlock(std::string_view column, std::int64_t first_row, std::int64_t last_row,
                 std::vector<std::string_view>& cells) const;
  // With PELORIN_CALC_READ_LOG naming a file, each block read appends the
  // running totals to it: how long a send spent reading the sheet.
  void LogReads() const;
  // Fills in the texts of the block's number cells (`numbers`, offsets in
  // the block).
  void NumberTexts(const css::uno::Reference<css::table::XCellRange>& block,
                   const css::uno::Sequence<css::uno::Sequence<css::uno::Any>>& values,
                   const std::vector<sal_Int32>& numbers, std::vector<std::string>& texts) const;
  sal_Int32 ColumnIndex(std::string_view column, std::int64_t row) const;
  sal_Int32 RowIndex(std::string_view column, std::int64_t row) const;

  css::uno::Reference<css::sheet::XSpreadsheet> sheet_;
  mutable GeneralNumberFormats general_formats_;
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
  mutable std::int64_t shown_text_reads_ = 0;
  std::string read_log_;
};

// "A" -> 0, "AB" -> 27; -1 when the letters are no column.
int ColumnIndexOf(std::string_view letters);

}  // namespace pelorin::calc
