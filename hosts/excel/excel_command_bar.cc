#include "hosts/excel/excel_command_bar.h"

#include <ocidl.h>

#include "hosts/excel/click_sink.h"
#include "hosts/excel/late_bound.h"
#include "hosts/excel/office_ids.h"

namespace pelorin::excel {
namespace {

constexpr long kMsoControlButton = 1;
constexpr long kMsoControlPopup = 10;

// Controls.Add(Type, Id, Parameter, Before, Temporary): a temporary control
// at the end of the bar or popup, which Excel drops when it exits.
ComPtr<IDispatch> AddTemporaryControl(IDispatch* parent, long type) {
  ComPtr<IDispatch> controls = AsObject(GetProperty(parent, L"Controls"), L"Controls");
  return AsObject(CallMethod(controls.get(), L"Add",
                             {Variant::Long(type), Variant::Missing(), Variant::Missing(),
                              Variant::Missing(), Variant::Bool(true)}),
                  L"Controls.Add");
}

void DeleteControl(IDispatch* control) { CallMethod(control, L"Delete", {Variant::Missing()}); }

}  // namespace

ExcelButton::ExcelButton(ComPtr<IDispatch> control) : control_(std::move(control)) {
  auto container = control_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  if (!container) throw ComError("the menu button offers no events", E_NOINTERFACE);
  HRESULT result = container->FindConnectionPoint(kDiidCommandBarButtonEvents, connection_point_.out());
  if (FAILED(result)) throw ComError("the menu button has no Click event", result);
  sink_ = ClickSink::Create();
  result = connection_point_->Advise(sink_, &cookie_);
  if (FAILED(result)) {
    sink_->Release();
    sink_ = nullptr;
    throw ComError("cannot listen to the menu button's Click", result);
  }
}

ExcelButton::~ExcelButton() { Unadvise(); }

void ExcelButton::Unadvise() {
  if (sink_ == nullptr) return;
  sink_->SetHandler(nullptr);
  if (cookie_ != 0) connection_point_->Unadvise(cookie_);
  cookie_ = 0;
  sink_->Release();
  sink_ = nullptr;
}

void ExcelButton::SetCaption(const std::string& caption) {
  PutProperty(control_.get(), L"Caption", Variant::Text(caption));
}
void ExcelButton::SetTooltip(const std::string& tooltip) {
  PutProperty(control_.get(), L"TooltipText", Variant::Text(tooltip));
}
void ExcelButton::SetEnabled(bool enabled) {
  PutProperty(control_.get(), L"Enabled", Variant::Bool(enabled));
}
void ExcelButton::SetVisible(bool visible) {
  PutProperty(control_.get(), L"Visible", Variant::Bool(visible));
}

// The button stops reporting clicks before it goes from the menu.
void ExcelButton::Delete() {
  Unadvise();
  DeleteControl(control_.get());
}

void ExcelButton::SetClickHandler(std::function<void()> handler) {
  if (sink_ != nullptr) sink_->SetHandler(std::move(handler));
}

void ExcelPopup::SetCaption(const std::string& caption) {
  PutProperty(control_.get(), L"Caption", Variant::Text(caption));
}
void ExcelPopup::SetTooltip(const std::string& tooltip) {
  PutProperty(control_.get(), L"TooltipText", Variant::Text(tooltip));
}
void ExcelPopup::SetEnabled(bool enabled) {
  PutProperty(control_.get(), L"Enabled", Variant::Bool(enabled));
}
void ExcelPopup::SetVisible(bool visible) {
  PutProperty(control_.get(), L"Visible", Variant::Bool(visible));
}
void ExcelPopup::Delete() { DeleteControl(control_.get()); }

CommandBarButton& ExcelPopup::AddButton() {
  buttons_.push_back(std::make_unique<ExcelButton>(AddTemporaryControl(control_.get(), kMsoControlButton)));
  return *buttons_.back();
}

CommandBarPopup& ExcelCommandBar::AddPopup() {
  popups_.push_back(std::make_unique<ExcelPopup>(AddTemporaryControl(bar_.get(), kMsoControlPopup)));
  return *popups_.back();
}

}  // namespace pelorin::excel
