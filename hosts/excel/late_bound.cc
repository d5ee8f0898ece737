#include "hosts/excel/late_bound.h"

#include <algorithm>
#include <cstdio>

#include "platform/win32/wide_text.h"

namespace pelorin::excel {
namespace {

// Excel reads texts (addresses, formulas) by the caller's locale; English
// is what every recorded macro passes.
constexpr LCID kEnglish = 0x0409;

std::string Describe(const wchar_t* member, HRESULT code, const EXCEPINFO* exception) {
  std::string text = win32::WideToUtf8(member);
  if (exception != nullptr && exception->bstrDescription != nullptr) {
    text += ": " + win32::WideToUtf8(exception->bstrDescription);
  }
  char number[24];
  std::snprintf(number, sizeof number, " (0x%08lX)", static_cast<unsigned long>(code));
  return text + number;
}

void ClearException(EXCEPINFO& exception) {
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

Variant Invoke(IDispatch* object, const wchar_t* member, WORD flags, std::vector<Variant> arguments,
               bool put) {
  if (object == nullptr) throw ComError(Describe(member, E_POINTER, nullptr), E_POINTER);
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR name = const_cast<LPOLESTR>(member);
  HRESULT result = object->GetIDsOfNames(IID_NULL, &name, 1, kEnglish, &id);
  if (FAILED(result)) throw ComError(Describe(member, result, nullptr), result);

  // IDispatch takes the arguments last first.
  std::reverse(arguments.begin(), arguments.end());
  std::vector<VARIANT> raw;
  raw.reserve(arguments.size());
  for (Variant& argument : arguments) raw.push_back(argument.get());
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{raw.data(), put ? &put_id : nullptr, static_cast<UINT>(raw.size()),
                        put ? 1u : 0u};
  Variant answer;
  EXCEPINFO exception{};
  UINT bad_argument = 0;
  result = object->Invoke(id, IID_NULL, kEnglish, flags, &parameters, put ? nullptr : answer.out(),
                          &exception, &bad_argument);
  if (FAILED(result)) {
    std::string what = Describe(member, result, result == DISP_E_EXCEPTION ? &exception : nullptr);
    ClearException(exception);
    throw ComError(what, result);
  }
  return answer;
}

}  // namespace

Variant GetProperty(IDispatch* object, const wchar_t* member, std::vector<Variant> arguments) {
  return Invoke(object, member, DISPATCH_PROPERTYGET, std::move(arguments), false);
}

void PutProperty(IDispatch* object, const wchar_t* member, Variant value) {
  std::vector<Variant> arguments;
  arguments.push_back(std::move(value));
  Invoke(object, member, DISPATCH_PROPERTYPUT, std::move(arguments), true);
}

Variant CallMethod(IDispatch* object, const wchar_t* member, std::vector<Variant> arguments) {
  return Invoke(object, member, DISPATCH_METHOD, std::move(arguments), false);
}

ComPtr<IDispatch> AsObject(const Variant& value, const wchar_t* member) {
  const VARIANT& raw = value.get();
  IDispatch* object = nullptr;
  if (raw.vt == VT_DISPATCH) object = raw.pdispVal;
  if (raw.vt == (VT_DISPATCH | VT_BYREF) && raw.ppdispVal != nullptr) object = *raw.ppdispVal;
  if (object == nullptr) {
    throw ComError(win32::WideToUtf8(member) + " answered no object", E_NOINTERFACE);
  }
  return ComPtr<IDispatch>(object);
}

}  // namespace pelorin::excel
