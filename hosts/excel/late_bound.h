// Calls into Excel's object model by member name, looked up at run time
// through IDispatch, as a script would make them.
#pragma once

#include <oaidl.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "hosts/excel/com_ptr.h"
#include "hosts/excel/variant.h"

namespace pelorin::excel {

// A failed call into the host: what was called and the host's own
// description of the failure.
class ComError : public std::runtime_error {
 public:
  ComError(const std::string& what, HRESULT code) : std::runtime_error(what), code_(code) {}
  HRESULT code() const { return code_; }

 private:
  HRESULT code_;
};

// Arguments are in the order they are written in the call. Each throws
// ComError naming `member`.
Variant GetProperty(IDispatch* object, const wchar_t* member, std::vector<Variant> arguments = {});
void PutProperty(IDispatch* object, const wchar_t* member, Variant value);
Variant CallMethod(IDispatch* object, const wchar_t* member, std::vector<Variant> arguments = {});

// The object a call answered; throws ComError when it answered none.
ComPtr<IDispatch> AsObject(const Variant& value, const wchar_t* member);

}  // namespace pelorin::excel
