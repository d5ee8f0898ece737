// The text conversions of cell values on any input: numbers as stored,
// number format codes, ISO dates and durations.
#include <cstdlib>
#include <cstring>
#include <string>

#include "workbook/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin::workbook;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string number = GeneralNumberText(text);
  // Formatting is stable: the general form of a general form is itself.
  if (number != text && GeneralNumberText(std::string_view(number)) != number) std::abort();
  ClassifyNumberFormat(text);
  IsoDateTimeText(text);
  IsoDurationText(text);
  if (size >= sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    std::string general = GeneralNumberText(value);
    if (general.size() > 32) std::abort();
    for (DateKind kind : {DateKind::kDate, DateKind::kTime, DateKind::kDateTime}) {
      SerialDateText(value, kind, size % 2 == 0);
    }
  }
  return 0;
}
