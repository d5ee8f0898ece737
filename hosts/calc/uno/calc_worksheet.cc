#include "hosts/calc/uno/calc_worksheet.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>

#include <com/sun/star/beans/PropertyState.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertyState.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/IndexOutOfBoundsException.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellFormatRangesSupplier.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include "hosts/calc/uno/uno_text.h"

namespace pelorin::calc {

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
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

sal_Int32 NumberFormatOf(const Reference<css::uno::XInterface>& range) {
  sal_Int32 key = 0;
  Reference<css::beans::XPropertySet>(range, UNO_QUERY_THROW)->getPropertyValue("NumberFormat") >>= key;
  return key;
}

// The number format of each cell of a one-column block, by offset. A block
// of one format answers with one property read; a mixed block (whose range
// property would read as General) is split into its runs of equal format.
std::vector<sal_Int32> NumberFormatsOf(const Reference<css::table::XCellRange>& block,
                                       sal_Int32 top, sal_Int32 count) {
  Reference<css::beans::XPropertyState> state(block, UNO_QUERY_THROW);
  if (state->getPropertyState("NumberFormat") != css::beans::PropertyState_AMBIGUOUS_VALUE) {
    return std::vector<sal_Int32>(static_cast<std::size_t>(count), NumberFormatOf(block));
  }
  std::vector<sal_Int32> keys(static_cast<std::size_t>(count), -1);
  Reference<css::container::XIndexAccess> runs(
      Reference<css::sheet::XCellFormatRangesSupplier>(block, UNO_QUERY_THROW)->getCellFormatRanges(),
      UNO_QUERY_THROW);
  for (sal_Int32 i = 0; i < runs->getCount(); ++i) {
    Reference<css::uno::XInterface> run(runs->getByIndex(i), UNO_QUERY_THROW);
    css::table::CellRangeAddress address =
        Reference<css::sheet::XCellRangeAddressable>(run, UNO_QUERY_THROW)->getRangeAddress();
    sal_Int32 key = NumberFormatOf(run);
    for (sal_Int32 row = std::max(address.StartRow, top);
         row <= std::min(address.EndRow, top + count - 1); ++row) {
      keys[static_cast<std::size_t>(row - top)] = key;
    }
  }
  return keys;
}

// Which offsets of the block hold formulas.
std::vector<bool> FormulaCellsOf(const Reference<css::table::XCellRange>& block, sal_Int32 top,
                                 sal_Int32 count) {
  std::vector<bool> formulas(static_cast<std::size_t>(count), false);
  Reference<css::sheet::XSheetCellRanges> found =
      Reference<css::sheet::XCellRangesQuery>(block, UNO_QUERY_THROW)
          ->queryContentCells(css::sheet::CellFlags::FORMULA);
  if (!found.is()) return formulas;
  const Sequence<css::table::CellRangeAddress> addresses = found->getRangeAddresses();
  for (const css::table::CellRangeAddress& address : addresses) {
    for (sal_Int32 row = std::max(address.StartRow, top);
         row <= std::min(address.EndRow, top + count - 1); ++row) {
      formulas[static_cast<std::size_t>(row - top)] = true;
    }
  }
  return formulas;
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

CalcWorksheet::CalcWorksheet(Reference<css::sheet::XSpreadsheet> sheet,
                             Reference<css::util::XNumberFormatsSupplier> formats,
                             Reference<css::uno::XComponentContext> context)
    : sheet_(std::move(sheet)), general_formats_(std::move(formats), std::move(context)) {
  if (const char* log = std::getenv("PELORIN_CALC_READ_LOG")) read_log_ = log;
}

void CalcWorksheet::LogReads() const {
  if (read_log_.empty()) return;
  if (std::FILE* log = std::fopen(read_log_.c_str(), "a")) {
    std::fprintf(log, "blocks=%lld rows=%lld shown_texts=%lld data_array_ms=%.1f numbers_ms=%.1f read_ms=%.1f\n",
                 static_cast<long long>(block_reads_), static_cast<long long>(rows_read_),
                 static_cast<long long>(shown_text_reads_),
                 std::chrono::duration<double, std::milli>(array_time_).count(),
                 std::chrono::duration<double, std::milli>(format_time_).count(),
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
    previous_column_texts_.swap(column_texts_);
    column_texts_.clear();
    columns_of_last_block_.swap(columns_of_block_);
    columns_of_block_.clear();
    block_values_ = {};
    values_left_ = values_right_ = -1;
    block_first_ = first_row;
    block_last_ = last_row;
  }
  columns_of_block_.insert(col);
  auto known = column_texts_.find(col);
  if (known == column_texts_.end()) {
    if (col < values_left_ || col > values_right_) {
      FetchValues(col, top, bottom, [&] {
        return "cells " + AddressText(column, first_row) + ":" + AddressText(column, last_row) +
               ": outside the sheet";
      });
    }
    known = column_texts_.emplace(col, std::deque<std::string>()).first;
    ColumnTexts(col, top, bottom, known->second);
  }
  for (const std::string& text : known->second) cells.push_back(text);
}

void CalcWorksheet::FetchValues(sal_Int32 col, sal_Int32 top, sal_Int32 bottom,
                                const std::function<std::string()>& outside) const {
  sal_Int32 left = col;
  sal_Int32 right = col;
  // The columns the packet before used, read together when they lie close
  // together: core asks for the same columns packet after packet.
  if (columns_of_last_block_.count(col) != 0) {
    sal_Int32 first = *columns_of_last_block_.begin();
    sal_Int32 last = *columns_of_last_block_.rbegin();
    if (last - first + 1 <= 2 * static_cast<sal_Int32>(columns_of_last_block_.size())) {
      left = first;
      right = last;
    }
  }
  Reference<css::table::XCellRange> range;
  try {
    range = sheet_->getCellRangeByPosition(left, top, right, bottom);
  } catch (const css::lang::IndexOutOfBoundsException&) {
    throw CellAddressError(outside());
  }
  ++block_reads_;
  Stopwatch array_watch(array_time_);
  block_values_ = Reference<css::sheet::XCellRangeData>(range, UNO_QUERY_THROW)->getDataArray();
  values_left_ = left;
  values_right_ = right;
}

void CalcWorksheet::ColumnTexts(sal_Int32 col, sal_Int32 top, sal_Int32 bottom,
                                std::deque<std::string>& texts) const {
  const Sequence<Sequence<Any>>& values = block_values_;
  const sal_Int32 offset = col - values_left_;
  texts.resize(static_cast<std::size_t>(values.getLength()));
  std::vector<std::pair<sal_Int32, double>> numbers;
  std::vector<sal_Int32> errors;
  for (sal_Int32 i = 0; i < values.getLength(); ++i) {
    if (values[i].getLength() <= offset) continue;
    // Read in place: no reference counting per cell.
    const Any& value = values[i][offset];
    if (value.getValueTypeClass() == css::uno::TypeClass_STRING) {
      texts[static_cast<std::size_t>(i)] = ToUtf8(*static_cast<const rtl::OUString*>(value.getValue()));
    } else if (value.getValueTypeClass() == css::uno::TypeClass_DOUBLE) {
      numbers.emplace_back(i, *static_cast<const double*>(value.getValue()));
    } else {
      errors.push_back(i);  // an error result, which the array holds as nothing
    }
  }
  if (numbers.empty() && errors.empty()) return;
  Reference<css::table::XCellRange> column = sheet_->getCellRangeByPosition(col, top, col, bottom);
  for (sal_Int32 i : errors) {
    ++shown_text_reads_;
    texts[static_cast<std::size_t>(i)] = ShownText(column->getCellByPosition(0, i));
  }
  if (!numbers.empty()) {
    Stopwatch format_watch(format_time_);
    NumberTexts(column, top, values.getLength(), numbers, texts);
  }
}

void CalcWorksheet::NumberTexts(const Reference<css::table::XCellRange>& column, sal_Int32 top,
                                sal_Int32 count,
                                const std::vector<std::pair<sal_Int32, double>>& numbers,
                                std::deque<std::string>& texts) const {
  const std::vector<sal_Int32> keys = NumberFormatsOf(column, top, count);
  const std::vector<bool> formulas = FormulaCellsOf(column, top, count);
  for (const auto& [i, number] : numbers) {
    auto at = static_cast<std::size_t>(i);
    if (!formulas[at] && keys[at] >= 0) {
      if (const std::optional<std::string>& separator = general_formats_.DecimalSeparator(keys[at])) {
        if (std::optional<std::string> text = GeneralCellText(number, *separator)) {
          texts[at] = std::move(*text);
          continue;
        }
      }
    }
    ++shown_text_reads_;
    texts[at] = ShownText(column->getCellByPosition(0, i));
  }
}

}  // namespace pelorin::calc
