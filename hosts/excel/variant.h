// A VARIANT that clears itself, and the argument values the add-in passes to
// Excel's object model.
#pragma once

#include <oaidl.h>

#include <string>
#include <string_view>

namespace pelorin::excel {

// A BSTR's text as UTF-8, embedded NULs included; a null BSTR is the empty
// text, as automation treats it.
std::string Utf8OfBstr(BSTR text);

class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant other) noexcept;

  static Variant Text(std::string_view utf8);
  static Variant Bool(bool value);
  static Variant Long(long value);
  // An optional argument left out, as automation marks it.
  static Variant Missing();

  VARIANT& get() { return value_; }
  const VARIANT& get() const { return value_; }
  VARIANT* out() {
    VariantClear(&value_);
    return &value_;
  }

 private:
  VARIANT value_;
};

}  // namespace pelorin::excel
