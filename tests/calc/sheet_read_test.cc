// The Calc sheet reader against a running office (PELORIN_OFFICE_PORT):
// cells read as Calc shows them, cell by cell and in blocks alike, refused
// addresses, and at most one block read per column and packet when core merges rows.
#include <cstdlib>
#include <string>
#include <vector>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XNumberFormatTypes.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <gtest/gtest.h>

#include "core/messaging/message_merge.h"
#include "core/messaging/message_template.h"
#include "core/messaging/send_request.h"
#include "hosts/calc/uno/calc_worksheet.h"
#include "hosts/calc/uno/uno_text.h"

namespace pelorin::calc {
namespace {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

class SheetReadTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* port = std::getenv("PELORIN_OFFICE_PORT");
    ASSERT_NE(port, nullptr) << "PELORIN_OFFICE_PORT names the office's port";
    Reference<css::uno::XComponentContext> local = cppu::defaultBootstrap_InitialComponentContext();
    Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(local);
    office_.set(resolver->resolve(ToUno(std::string("uno:socket,host=127.0.0.1,port=") + port +
                                        ";urp;StarOffice.ComponentContext")),
                UNO_QUERY_THROW);
    css::uno::Sequence<css::beans::PropertyValue> hidden(1);
    hidden.getArray()[0].Name = "Hidden";
    hidden.getArray()[0].Value <<= true;
    document_.set(css::frame::Desktop::create(office_)->loadComponentFromURL(
                      "private:factory/scalc", "_blank", 0, hidden),
                  UNO_QUERY_THROW);
    Reference<css::container::XIndexAccess> sheets(document_->getSheets(), UNO_QUERY_THROW);
    sheet_.set(sheets->getByIndex(0), UNO_QUERY_THROW);
  }

  static void TearDownTestSuite() {
    Reference<css::util::XCloseable> closeable(document_, css::uno::UNO_QUERY);
    if (closeable.is()) closeable->close(true);
    sheet_.clear();
    document_.clear();
    office_.clear();
  }

  static CalcWorksheet MakeWorksheet() {
    return CalcWorksheet(sheet_, Reference<css::util::XNumberFormatsSupplier>(document_, UNO_QUERY_THROW),
                         office_);
  }

  static sal_Int32 FormatKey(const char* format) {
    Reference<css::util::XNumberFormatsSupplier> supplier(document_, UNO_QUERY_THROW);
    Reference<css::util::XNumberFormats> formats = supplier->getNumberFormats();
    css::lang::Locale locale;
    sal_Int32 key = formats->queryKey(ToUno(format), locale, false);
    return key >= 0 ? key : formats->addNew(ToUno(format), locale);
  }

  static void SetFormat(sal_Int32 column, sal_Int32 row, const char* format) {
    SetFormatKey(column, row, FormatKey(format));
  }

  static void SetFormatKey(sal_Int32 column, sal_Int32 row, sal_Int32 key) {
    Reference<css::beans::XPropertySet> cell(sheet_->getCellByPosition(column, row), UNO_QUERY_THROW);
    cell->setPropertyValue("NumberFormat", Any(key));
  }

  // The General format of a locale other than the office's.
  static sal_Int32 GeneralFormatOf(const char* language, const char* country) {
    Reference<css::util::XNumberFormatsSupplier> supplier(document_, UNO_QUERY_THROW);
    Reference<css::util::XNumberFormatTypes> types(supplier->getNumberFormats(), UNO_QUERY_THROW);
    return types->getStandardIndex(css::lang::Locale(ToUno(language), ToUno(country), ""));
  }

  static inline Reference<css::uno::XComponentContext> office_;
  static inline Reference<css::sheet::XSpreadsheetDocument> document_;
  static inline Reference<css::sheet::XSpreadsheet> sheet_;
};

TEST_F(SheetReadTest, CellsReadAsCalcShowsThemOneByOneAndInABlock) {
  struct Case {
    const char* what;
    double number;         // used when text and formula are null
    const char* text;      // a text cell
    const char* formula;
    const char* format;    // a number format, or null for the default
    bool empty;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"a twelve-digit mobile number stays whole", 919876543210.0, nullptr, nullptr, nullptr, false,
       "919876543210"},
      {"text with a plus sign", 0, "+15550001", nullptr, nullptr, false, "+15550001"},
      {"an empty cell", 0, nullptr, nullptr, nullptr, true, ""},
      {"a date", 45292, nullptr, nullptr, "YYYY-MM-DD", false, "2024-01-01"},
      {"a fraction", 3.5, nullptr, nullptr, nullptr, false, "3.5"},
      {"a number with two decimals shown", 2, nullptr, nullptr, "0.00", false, "2.00"},
      {"a formula's text", 0, nullptr, "=\"ab\"&\"c\"", nullptr, false, "abc"},
      {"a formula's number", 0, nullptr, "=6*7", nullptr, false, "42"},
      {"text beyond ASCII", 0, "Grüße 😀", nullptr, nullptr, false, "Grüße 😀"},
      {"a formula error", 0, nullptr, "=1/0", nullptr, false, "#DIV/0!"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    Reference<css::table::XCell> cell = sheet_->getCellByPosition(0, static_cast<sal_Int32>(i));
    const Case& c = cases[i];
    if (c.empty) continue;
    if (c.text != nullptr) {
      Reference<css::text::XTextRange>(cell, UNO_QUERY_THROW)->setString(ToUno(c.text));
    } else if (c.formula != nullptr) {
      cell->setFormula(ToUno(c.formula));
    } else {
      cell->setValue(c.number);
    }
    if (c.format != nullptr) SetFormat(0, static_cast<sal_Int32>(i), c.format);
  }

  CalcWorksheet worksheet = MakeWorksheet();
  std::vector<std::string_view> block;
  worksheet.ReadColumn("a", 1, static_cast<std::int64_t>(cases.size()), block);
  EXPECT_EQ(worksheet.block_reads(), 1);
  ASSERT_EQ(block.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    EXPECT_EQ(worksheet.CellText("A", static_cast<std::int64_t>(i + 1)), cases[i].expected);
    EXPECT_EQ(block[i], cases[i].expected);
  }
}

// Numbers in a block are turned into text by the reader itself only where
// Calc would show core's general text; every other number must still read as
// Calc shows it. Each column is one block, so a column of one format and a
// column of mixed formats both take their own way through the reader.
TEST_F(SheetReadTest, NumbersInABlockReadAsCalcShowsThemWhateverTheirFormat) {
  struct Cell {
    const char* what;
    double number;
    const char* format;    // a format code, "de-DE" for German General, or null
    const char* formula;   // instead of the number
    const char* expected;  // null: as the cell's shown text, whatever the locale
  };
  struct Column {
    const char* what;
    std::vector<Cell> cells;
    bool all_general;  // then no cell may be asked for its shown text
  };
  const std::vector<Column> columns = {
      {"a General column",
       {{"a twelve-digit mobile number", 919876543210.0, nullptr, nullptr, "919876543210"},
        {"a negative decimal", -12.75, nullptr, nullptr, "-12.75"},
        {"a negative whole number", -42, nullptr, nullptr, "-42"},
        {"a third, to fifteen digits", 1.0 / 3, nullptr, nullptr, "0.333333333333333"},
        {"a sum with binary noise", 0.1 + 0.2, nullptr, nullptr, "0.3"},
        {"zero", 0, nullptr, nullptr, "0"},
        {"a small decimal", 0.000015, nullptr, nullptr, "0.000015"},
        {"fifteen digits", 123456789012345.0, nullptr, nullptr, "123456789012345"}},
       true},
      {"a date column",
       {{"a date", 45292, "YYYY-MM-DD", nullptr, "2024-01-01"},
        {"another date", 45293.5, "YYYY-MM-DD", nullptr, "2024-01-02"}},
       false},
      {"a percent column",
       {{"a quarter", 0.25, "0%", nullptr, "25%"}, {"a whole", 1, "0%", nullptr, "100%"}},
       false},
      {"a column mixing General and formatted cells",
       {{"a General big integer", 919876543210.0, nullptr, nullptr, "919876543210"},
        {"a date", 45292, "YYYY-MM-DD", nullptr, "2024-01-01"},
        {"a General negative decimal", -0.5, nullptr, nullptr, "-0.5"},
        {"a percent", 0.125, "0.0%", nullptr, "12.5%"},
        {"thousands separators", 919876543210.0, "#,##0", nullptr, "919,876,543,210"},
        {"two decimals shown", 7, "0.00", nullptr, "7.00"},
        {"sixteen digits, which Calc writes whole", 1e15, nullptr, nullptr, "1000000000000000"},
        {"a huge number in Calc's exponent form", 1e20, nullptr, nullptr, "1E+020"},
        {"a tiny number", 1e-10, nullptr, nullptr, "1E-10"},
        {"a formula's date in a General cell", 0, nullptr, "=DATE(2024;1;1)", nullptr},
        {"a formula's number in a General cell", 0, nullptr, "=6*7", "42"},
        {"a General number of another locale", 1.5, "de-DE", nullptr, "1,5"},
        {"a General number again", 3.25, nullptr, nullptr, "3.25"}},
       false},
  };
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const Column& column = columns[c];
    SCOPED_TRACE(column.what);
    auto column_index = static_cast<sal_Int32>(6 + c);  // G onwards
    for (std::size_t r = 0; r < column.cells.size(); ++r) {
      const Cell& cell = column.cells[r];
      auto row = static_cast<sal_Int32>(r);
      Reference<css::table::XCell> target = sheet_->getCellByPosition(column_index, row);
      if (cell.formula != nullptr) {
        target->setFormula(ToUno(cell.formula));
      } else {
        target->setValue(cell.number);
      }
      if (cell.format == nullptr) continue;
      if (std::string(cell.format) == "de-DE") {
        SetFormatKey(column_index, row, GeneralFormatOf("de", "DE"));
      } else {
        SetFormat(column_index, row, cell.format);
      }
    }
    CalcWorksheet worksheet = MakeWorksheet();
    std::string letter(1, static_cast<char>('A' + column_index));
    std::vector<std::string_view> block;
    worksheet.ReadColumn(letter, 1, static_cast<std::int64_t>(column.cells.size()), block);
    ASSERT_EQ(block.size(), column.cells.size());
    if (column.all_general) {
      EXPECT_EQ(worksheet.shown_text_reads(), 0);
    }
    for (std::size_t r = 0; r < column.cells.size(); ++r) {
      SCOPED_TRACE(column.cells[r].what);
      std::string shown = worksheet.CellText(letter, static_cast<std::int64_t>(r + 1));
      EXPECT_EQ(block[r], shown);
      if (column.cells[r].expected != nullptr) {
        EXPECT_EQ(block[r], column.cells[r].expected);
      }
    }
    // The formula's date reads as a date, not as its serial number.
    if (c == 3) {
      EXPECT_NE(block[9], "45292");
    }
  }
}

TEST_F(SheetReadTest, RefusedAddressesThrowNamingTheCell) {
  CalcWorksheet worksheet = MakeWorksheet();
  struct Case {
    const char* column;
    std::int64_t first;
    std::int64_t last;
  };
  for (const Case& c : {Case{"1", 1, 1}, Case{"", 1, 1}, Case{"A", 0, 0}, Case{"A", 1048577, 1048577},
                        Case{"ZZZZ", 1, 1}, Case{"A", 1048570, 1048577}}) {
    SCOPED_TRACE(std::string(c.column) + std::to_string(c.first));
    std::vector<std::string_view> cells;
    EXPECT_THROW(worksheet.ReadColumn(c.column, c.first, c.last, cells), CellAddressError);
    if (c.first == c.last) {
      EXPECT_THROW(worksheet.CellText(c.column, c.first), CellAddressError);
    }
  }
  // The sheet's last row and widest column are still cells.
  EXPECT_EQ(worksheet.CellText("XFD", 1048576), "");
}

TEST_F(SheetReadTest, MergeReadsEachPacketsColumnsInOneCallAfterTheFirst) {
  for (sal_Int32 row = 0; row < 30; ++row) {
    sheet_->getCellByPosition(2, row)->setValue(919800000000.0 + row);
    Reference<css::text::XTextRange>(sheet_->getCellByPosition(3, row), UNO_QUERY_THROW)
        ->setString(ToUno("name" + std::to_string(row + 1)));
  }
  CalcWorksheet worksheet = MakeWorksheet();
  MessageTemplate message("Dear |D|, your number is |C|");
  MessageMerge merge(worksheet, "C", message);
  std::int64_t empty_rows = 0;
  std::string records;
  for (std::int64_t first : {1, 11, 21}) records += merge.MergeRecords({first, first + 9}, empty_rows);
  // The first packet reads the mobile column C, then the template's column D
  // (C again comes from the block already read); each later packet reads the
  // columns C and D in one call.
  EXPECT_EQ(worksheet.block_reads(), 4);
  EXPECT_EQ(empty_rows, 0);
  EXPECT_NE(records.find("919800000000|*^Dear name1, your number is 919800000000~?*"),
            std::string::npos);
  EXPECT_NE(records.find("919800000029|*^Dear name30, your number is 919800000029~?*"),
            std::string::npos);
}

}  // namespace
}  // namespace pelorin::calc
