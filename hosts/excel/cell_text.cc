#include "hosts/excel/cell_text.h"

#include <cstdio>

#include "hosts/excel/variant.h"

namespace pelorin::excel {
namespace {

struct ErrorText {
  long number;
  const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {2000, "#NULL!"}, {2007, "#DIV/0!"}, {2015, "#VALUE!"}, {2023, "#REF!"},
    {2029, "#NAME?"}, {2036, "#NUM!"},   {2042, "#N/A"},    {2045, "#SPILL!"},
};

// Excel hands a cell error over as 0x800A0000 plus its number.
std::string ErrorValueText(SCODE code) {
  long number = static_cast<long>(static_cast<unsigned long>(code) & 0xFFFF);
  for (const ErrorText& error : kErrorTexts) {
    if (error.number == number) return error.text;
  }
  char text[24];
  std::snprintf(text, sizeof text, "Error %ld", number);
  return text;
}

std::string ConvertedText(const VARIANT& value) {
  VARIANT text;
  VariantInit(&text);
  HRESULT result = VariantChangeTypeEx(&text, const_cast<VARIANT*>(&value), LOCALE_USER_DEFAULT, 0, VT_BSTR);
  std::string converted;
  if (SUCCEEDED(result)) converted = Utf8OfBstr(text.bstrVal);
  VariantClear(&text);
  return converted;
}

}  // namespace

std::string CellText(const VARIANT& value) {
  const VARIANT* cell = &value;
  if (cell->vt == (VT_VARIANT | VT_BYREF) && cell->pvarVal != nullptr) cell = cell->pvarVal;
  switch (cell->vt) {
    case VT_EMPTY:
    case VT_NULL:
      return {};
    case VT_BOOL:
      return cell->boolVal != VARIANT_FALSE ? "TRUE" : "FALSE";
    case VT_ERROR:
      return ErrorValueText(cell->scode);
    case VT_BSTR:
      return Utf8OfBstr(cell->bstrVal);
    default:
      return ConvertedText(*cell);
  }
}

}  // namespace pelorin::excel
