#include "hosts/excel/excel_application.h"

#include <stdexcept>

#include "hosts/excel/late_bound.h"
#include "hosts/excel/office_ids.h"

namespace pelorin::excel {

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
