#include "hosts/calc/uno/general_number_format.h"

#include <cmath>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/util/XNumberFormatTypes.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>

#include "hosts/calc/uno/uno_text.h"
#include "workbook/number_text.h"

namespace pelorin::calc {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

constexpr double kSmallestPlainMagnitude = 1e-9;
constexpr double kFifteenDigitLimit = 1e15;

}  // namespace

GeneralNumberFormats::GeneralNumberFormats(Reference<css::util::XNumberFormatsSupplier> supplier,
                                           Reference<css::uno::XComponentContext> context)
    : supplier_(std::move(supplier)) {
  if (!supplier_.is() || !context.is()) return;
  try {
    formatter_.set(context->getServiceManager()->createInstanceWithContext(
                       "com.sun.star.util.NumberFormatter", context),
                   UNO_QUERY);
    if (formatter_.is()) formatter_->attachNumberFormatsSupplier(supplier_);
  } catch (const css::uno::Exception&) {
    formatter_.clear();  // every number is then read as Calc shows it
  }
}

const std::optional<std::string>& GeneralNumberFormats::DecimalSeparator(sal_Int32 key) {
  auto known = separators_.find(key);
  if (known == separators_.end()) known = separators_.emplace(key, Classify(key)).first;
  return known->second;
}

std::optional<std::string> GeneralNumberFormats::Classify(sal_Int32 key) {
  if (!formatter_.is()) return std::nullopt;
  try {
    Reference<css::util::XNumberFormats> formats = supplier_->getNumberFormats();
    Reference<css::beans::XPropertySet> format = formats->getByKey(key);
    css::lang::Locale locale;
    format->getPropertyValue("Locale") >>= locale;
    Reference<css::util::XNumberFormatTypes> types(formats, UNO_QUERY_THROW);
    if (types->getStandardIndex(locale) != key) return std::nullopt;
    // The locale's separator, as the format itself writes one and a half.
    std::string sample = ToUtf8(formatter_->convertNumberToString(key, 1.5));
    if (sample.size() < 3 || sample.front() != '1' || sample.back() != '5') return std::nullopt;
    return sample.substr(1, sample.size() - 2);
  } catch (const css::uno::Exception&) {
    return std::nullopt;
  }
}

std::optional<std::string> GeneralCellText(double value, const std::string& decimal_separator) {
  if (!std::isfinite(value)) return std::nullopt;
  if (value != 0 && std::abs(value) < kSmallestPlainMagnitude) return std::nullopt;
  // Whole numbers of up to fifteen digits (mobile numbers, counts) are their
  // digits: no need for the general conversion's rounding.
  if (std::abs(value) < kFifteenDigitLimit && std::trunc(value) == value) {
    return std::to_string(static_cast<long long>(value));
  }
  std::string text = workbook::GeneralNumberText(value);
  if (text.find('E') != std::string::npos) return std::nullopt;
  if (decimal_separator != ".") {
    if (std::size_t point = text.find('.'); point != std::string::npos) {
      text.replace(point, 1, decimal_separator);
    }
  }
  return text;
}

}  // namespace pelorin::calc
