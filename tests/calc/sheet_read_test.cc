// The Calc sheet reader against a running office (PELORIN_OFFICE_PORT):
// cells read as Calc shows them, cell by cell and in blocks alike, refused
// addresses, and one block read per column and packet when core merges rows.
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

  static sal_Int32 FormatKey(const char* format) {
    Reference<css::util::XNumberFormatsSupplier> supplier(document_, UNO_QUERY_THROW);
    Reference<css::util::XNumberFormats> formats = supplier->getNumberFormats();
    css::lang::Locale locale;
    sal_Int32 key = formats->queryKey(ToUno(format), locale, false);
    return key >= 0 ? key : formats->addNew(ToUno(format), locale);
  }

  static void SetFormat(sal_Int32 column, sal_Int32 row, const char* format) {
    Reference<css::beans::XPropertySet> cell(sheet_->getCellByPosition(column, row), UNO_QUERY_THROW);
    cell->setPropertyValue("NumberFormat", Any(FormatKey(format)));
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

  CalcWorksheet worksheet(sheet_);
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

TEST_F(SheetReadTest, RefusedAddressesThrowNamingTheCell) {
  CalcWorksheet worksheet(sheet_);
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

TEST_F(SheetReadTest, MergeReadsEachColumnOncePerPacket) {
  for (sal_Int32 row = 0; row < 30; ++row) {
    sheet_->getCellByPosition(2, row)->setValue(919800000000.0 + row);
    Reference<css::text::XTextRange>(sheet_->getCellByPosition(3, row), UNO_QUERY_THROW)
        ->setString(ToUno("name" + std::to_string(row + 1)));
  }
  CalcWorksheet worksheet(sheet_);
  MessageTemplate message("Dear |D|, your number is |C|");
  MessageMerge merge(worksheet, "C", message);
  std::int64_t empty_rows = 0;
  std::string records;
  for (std::int64_t first : {1, 11, 21}) records += merge.MergeRecords({first, first + 9}, empty_rows);
  // Per packet: the mobile column, then the template's columns D and C.
  EXPECT_EQ(worksheet.block_reads(), 9);
  EXPECT_EQ(empty_rows, 0);
  EXPECT_NE(records.find("919800000000|*^Dear name1, your number is 919800000000~?*"),
            std::string::npos);
  EXPECT_NE(records.find("919800000029|*^Dear name30, your number is 919800000029~?*"),
            std::string::npos);
}

}  // namespace
}  // namespace pelorin::calc
