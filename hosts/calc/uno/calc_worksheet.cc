#include "hosts/calc/uno/calc_worksheet.h"

#include <cstdio>
#include <cstdlib>

#include <com/sun/star/lang/IndexOutOfBoundsException.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include "hosts/calc/uno/uno_text.h"

namespace pelorin::calc {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

// Calc's largest sheet: 16384 columns, 1048576 rows.
constexpr std::int64_t kMaxRows = 1048576;

std::string AddressText(std::string_view column, std::int64_t row) {
  return std::string(column) + std::to_string(row);
}

std::string ShownText(const Reference<css::table::XCell>& cell) {
  Reference<css::text::XTextRange> text(cell, UNO_QUERY_THROW);
  return ToUtf8(text->getString());
}

class Stopwatch {
 public:
  explicit Stopwatch(std::chrono::nanoseconds& total)
      : total_(total), start_(std::chrono::steady_clock::now()) {}
  ~Stopwatch() { total_ += std::chrono::steady_clock::now() - start_; }

 private:
  std::chrono::nanoseconds& total_;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace

int ColumnIndexOf(std::string_view letters) {
  if (!IsValidColumnName(letters)) return -1;
  int index = 0;
  for (char c : letters) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    index = index * 26 + (c - 'A' + 1);
  }
  return index - 1;
}

CalcWorksheet::CalcWorksheet(Reference<css::sheet::XSpreadsheet> sheet) : sheet_(std::move(sheet)) {
  if (const char* log = std::getenv("PELORIN_CALC_READ_LOG")) read_log_ = log;
}

void CalcWorksheet::LogReads() const {
  if (read_log_.empty()) return;
  if (std::FILE* log = std::fopen(read_log_.c_str(), "a")) {
    std::fprintf(log, "blocks=%lld rows=%lld read_ms=%.1f\n", static_cast<long long>(block_reads_),
                 static_cast<long long>(rows_read_),
                 std::chrono::duration<double, std::milli>(read_time_).count());
    std::fclose(log);
  }
}

sal_Int32 CalcWorksheet::ColumnIndex(std::string_view column, std::int64_t row) const {
  int index = ColumnIndexOf(column);
  if (index < 0) throw CellAddressError("cell " + AddressText(column, row) + ": no such column");
  return index;
}

sal_Int32 CalcWorksheet::RowIndex(std::string_view column, std::int64_t row) const {
  if (row < 1 || row > kMaxRows) {
    throw CellAddressError("cell " + AddressText(column, row) + ": no such row");
  }
  return static_cast<sal_Int32>(row - 1);
}

std::string CalcWorksheet::CellText(std::string_view column, std::int64_t row) const {
  Stopwatch watch(read_time_);
  sal_Int32 col = ColumnIndex(column, row);
  sal_Int32 row_index = RowIndex(column, row);
  try {
    return ShownText(sheet_->getCellByPosition(col, row_index));
  } catch (const css::lang::IndexOutOfBoundsException&) {
    throw CellAddressError("cell " + AddressText(column, row) + ": outside the sheet");
  }
}

void CalcWorksheet::ReadColumn(std::string_view column, std::int64_t first_row,
                               std::int64_t last_row, std::vector<std::string_view>& cells) const {
  if (first_row > last_row) return;
  ReadBlock(column, first_row, last_row, cells);
  rows_read_ += last_row - first_row + 1;
  LogReads();
}

void CalcWorksheet::ReadBlock(std::string_view column, std::int64_t first_row,
                              std::int64_t last_row, std::vector<std::string_view>& cells) const {
  Stopwatch watch(read_time_);
  sal_Int32 col = ColumnIndex(column, first_row);
  sal_Int32 top = RowIndex(column, first_row);
  sal_Int32 bottom = RowIndex(column, last_row);
  if (first_row != block_first_ || last_row != block_last_) {
    previous_block_texts_.swap(block_texts_);
    block_texts_.clear();
    block_first_ = first_row;
    block_last_ = last_row;
  }
  Reference<css::table::XCellRange> block;
  try {
    block = sheet_->getCellRangeByPosition(col, top, col, bottom);
  } catch (const css::lang::IndexOutOfBoundsException&) {
    throw CellAddressError("cells " + AddressText(column, first_row) + ":" +
                           AddressText(column, last_row) + ": outside the sheet");
  }
  ++block_reads_;
  Reference<css::sheet::XCellRangeData> data(block, UNO_QUERY_THROW);
  const css::uno::Sequence<css::uno::Sequence<css::uno::Any>> rows = data->getDataArray();
  for (sal_Int32 i = 0; i < rows.getLength(); ++i) {
    rtl::OUString text;
    if (rows[i].getLength() > 0 && (rows[i][0] >>= text)) {
      block_texts_.push_back(ToUtf8(text));
    } else {
      // A number (dates are numbers too) or an error: its text as shown.
      block_texts_.push_back(ShownText(block->getCellByPosition(0, i)));
    }
    cells.push_back(block_texts_.back());
  }
}

}  // namespace pelorin::calc
