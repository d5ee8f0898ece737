#include "hosts/excel/variant.h"

#include <utility>

#include "platform/win32/wide_text.h"

namespace pelorin::excel {

std::string Utf8OfBstr(BSTR text) {
  return text == nullptr ? std::string() : win32::WideToUtf8(std::wstring_view(text, SysStringLen(text)));
}

Variant::Variant(const Variant& other) {
  VariantInit(&value_);
  VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
}

Variant::Variant(Variant&& other) noexcept {
  value_ = other.value_;
  VariantInit(&other.value_);
}

Variant& Variant::operator=(Variant other) noexcept {
  std::swap(value_, other.value_);
  return *this;
}

Variant Variant::Text(std::string_view utf8) {
  Variant text;
  std::wstring wide = win32::Utf8ToWide(utf8);
  text.value_.vt = VT_BSTR;
  text.value_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return text;
}

Variant Variant::Bool(bool value) {
  Variant flag;
  flag.value_.vt = VT_BOOL;
  flag.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return flag;
}

Variant Variant::Long(long value) {
  Variant number;
  number.value_.vt = VT_I4;
  number.value_.lVal = value;
  return number;
}

Variant Variant::Missing() {
  Variant missing;
  missing.value_.vt = VT_ERROR;
  missing.value_.scode = DISP_E_PARAMNOTFOUND;
  return missing;
}

}  // namespace pelorin::excel
