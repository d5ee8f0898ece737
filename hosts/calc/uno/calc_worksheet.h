// A Calc sheet as core's worksheet: a cell's text as Calc shows it, and a
// block of one column read in one call.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/uno/Sequence.hxx>

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
  // One getDataArray call for the block (for the columns of the block
  // before together, once core has read a block). Numbers in cells of the General
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
  // One getDataArray call over rows top..bottom of column `col`, or of the
  // columns the block before used when `col` is among them; `outside` words
  // the error for a range off the sheet.
  void FetchValues(sal_Int32 col, sal_Int32 top, sal_Int32 bottom,
                   const std::function<std::string()>& outside) const;
  // The texts of column `col` of the fetched values.
  void ColumnTexts(sal_Int32 col, sal_Int32 top, sal_Int32 bottom,
                   std::deque<std::string>& texts) const;
  // With PELORIN_CALC_READ_LOG naming a file, each block read appends the
  // running totals to it: how long a send spent reading the sheet.
  void LogReads() const;
  // Fills in the texts of the column's number cells (offsets in the
  // column's range, whose first row is `top`, with their values).
  void NumberTexts(const css::uno::Reference<css::table::XCellRange>& column, sal_Int32 top,
                   sal_Int32 count, const std::vector<std::pair<sal_Int32, double>>& numbers,
                   std::deque<std::string>& texts) const;
  sal_Int32 ColumnIndex(std::string_view column, std::int64_t row) const;
  sal_Int32 RowIndex(std::string_view column, std::int64_t row) const;

  css::uno::Reference<css::sheet::XSpreadsheet> sheet_;
  mutable GeneralNumberFormats general_formats_;
  // The texts of the block's columns and of the block before: core uses a
  // block's views until it reads the next block, and reads several columns
  // of one block in a row.
  mutable std::map<sal_Int32, std::deque<std::string>> column_texts_;
  mutable std::map<sal_Int32, std::deque<std::string>> previous_column_texts_;
  // The block's values as fetched, for columns values_left_..values_right_.
  mutable css::uno::Sequence<css::uno::Sequence<css::uno::Any>> block_values_;
  mutable sal_Int32 values_left_ = -1;
  mutable sal_Int32 values_right_ = -1;
  // The columns asked for in this block and in the block before.
  mutable std::set<sal_Int32> columns_of_block_;
  mutable std::set<sal_Int32> columns_of_last_block_;
  mutable std::int64_t block_first_ = -1;
  mutable std::int64_t block_last_ = -1;
  mutable std::chrono::nanoseconds read_time_{0};
  // Of read_time_: in getDataArray, and turning numbers into text.
  mutable std::chrono::nanoseconds array_time_{0};
  mutable std::chrono::nanoseconds format_time_{0};
  mutable std::int64_t block_reads_ = 0;
  mutable std::int64_t rows_read_ = 0;
  mutable std::int64_t shown_text_reads_ = 0;
  std::string read_log_;
};

// "A" -> 0, "AB" -> 27; -1 when the letters are no column.
int ColumnIndexOf(std::string_view letters);

}  // namespace pelorin::calc
