#include "hosts/excel/excel_application.h"

#include <stdexcept>

#include "hosts/excel/late_bound.h"
#include "hosts/excel/office_ids.h"

namespace pelorin::excel {
namespace {

// object.property's text, or empty when either is missing or not a text:
// these only label a run, and must never stop it.
std::string TextOfMember(IDispatch* application, const wchar_t* object, const wchar_t* property) {
  try {
    Variant holder = GetProperty(application, object);
    if (holder.get().vt != VT_DISPATCH || holder.get().pdispVal == nullptr) return {};
    Variant text = GetProperty(holder.get().pdispVal, property);
    if (text.get().vt != VT_BSTR) return {};
    return Utf8OfBstr(text.get().bstrVal);
  } catch (const ComError&) {
    return {};
  }
}

}  // namespace

ExcelApplication::ExcelApplication(ComPtr<IDispatch> application) : application_(std::move(application)) {}

bool ExcelApplication::IsSpreadsheetHost() const {
  return static_cast<bool>(application_.As<IUnknown>(kIidExcelApplication));
}

CommandBar& ExcelApplication::WorksheetMenuBar() {
  if (!menu_bar_) {
    ComPtr<IDispatch> bars = AsObject(GetProperty(application_.get(), L"CommandBars"), L"CommandBars");
    ComPtr<IDispatch> bar = AsObject(GetProperty(bars.get(), L"Item", {Variant::Text("Worksheet Menu Bar")}),
                                     L"CommandBars.Item(\"Worksheet Menu Bar\")");
    menu_bar_ = std::make_unique<ExcelCommandBar>(std::move(bar));
  }
  return *menu_bar_;
}

// Asked afresh each time: the user may have switched sheets.
const Worksheet& ExcelApplication::ActiveSheet() {
  Variant sheet = GetProperty(application_.get(), L"ActiveSheet");
  if (sheet.get().vt != VT_DISPATCH || sheet.get().pdispVal == nullptr) {
    throw std::runtime_error("Excel has no active worksheet");
  }
  ComPtr<IDispatch> object = AsObject(sheet, L"ActiveSheet");
  // The same sheet is known by the identity of its IUnknown.
  auto identity = object.As<IUnknown>(IID_IUnknown);
  if (sheets_.empty() || identity.get() != active_identity_.get()) {
    sheets_.push_back(std::make_unique<ExcelWorksheet>(std::move(object)));
    active_identity_ = identity;
  }
  return *sheets_.back();
}

void ExcelApplication::SelectWholeColumn(std::string_view column) {
  std::string address = std::string(column) + ":" + std::string(column);
  ComPtr<IDispatch> columns = AsObject(GetProperty(application_.get(), L"Columns"), L"Columns");
  ComPtr<IDispatch> whole = AsObject(GetProperty(columns.get(), L"_Default", {Variant::Text(address)}),
                                     L"Columns(\"C:C\")");
  CallMethod(whole.get(), L"Select");
}

std::string ExcelApplication::ActiveWorkbookName() const {
  return TextOfMember(application_.get(), L"ActiveWorkbook", L"FullName");
}

std::string ExcelApplication::ActiveSheetName() const {
  return TextOfMember(application_.get(), L"ActiveSheet", L"Name");
}

HWND ExcelApplication::MainWindow() const {
  try {
    Variant hwnd = GetProperty(application_.get(), L"Hwnd");
    VARIANT number;
    VariantInit(&number);
    if (FAILED(VariantChangeType(&number, &hwnd.get(), 0, VT_I8))) return nullptr;
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(number.llVal));
  } catch (const ComError&) {
    return nullptr;
  }
}

}  // namespace pelorin::excel
