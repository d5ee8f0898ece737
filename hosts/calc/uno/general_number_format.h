// Which of a document's number formats show a number the way core's general
// number text does, so the sheet reader can turn such numbers into text
// itself instead of asking Calc for each cell's shown text.
#pragma once

#include <map>
#include <optional>
#include <string>

#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/util/XNumberFormatter.hpp>

namespace pelorin::calc {

class GeneralNumberFormats {
 public:
  // Without a supplier or context no format counts as general.
  GeneralNumberFormats(css::uno::Reference<css::util::XNumberFormatsSupplier> supplier,
                       css::uno::Reference<css::uno::XComponentContext> context);

  // The decimal separator of format `key` when it is the General format of
  // its locale; nothing for any other format (dates, percent, "0.00" ...).
  const std::optional<std::string>& DecimalSeparator(sal_Int32 key);

 private:
  std::optional<std::string> Classify(sal_Int32 key);

  css::uno::Reference<css::util::XNumberFormatsSupplier> supplier_;
  css::uno::Reference<css::util::XNumberFormatter> formatter_;
  std::map<sal_Int32, std::optional<std::string>> separators_;
};

// `value` as Calc's General format shows it, with `decimal_separator`; nothing
// where Calc's text is not core's general number text (magnitudes of 1E+15
// and beyond, which Calc writes as "1E+016" or in sixteen digits, and below
// 1E-9), so that the caller asks Calc for those few cells.
std::optional<std::string> GeneralCellText(double value, const std::string& decimal_separator);

}  // namespace pelorin::calc
