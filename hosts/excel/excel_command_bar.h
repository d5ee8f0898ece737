// The "Worksheet Menu Bar" of Excel and the controls the add-in puts on it,
// reached late-bound through Office's command-bar objects.
#pragma once

#include <oaidl.h>
#include <ocidl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/host/command_bar.h"
#include "hosts/excel/com_ptr.h"

namespace pelorin::excel {

class ClickSink;

class ExcelButton : public CommandBarButton {
 public:
  // Advises the button's Click connection point; throws ComError.
  explicit ExcelButton(ComPtr<IDispatch> control);
  ~ExcelButton() override;
  ExcelButton(const ExcelButton&) = delete;
  ExcelButton& operator=(const ExcelButton&) = delete;

  void SetCaption(const std::string& caption) override;
  void SetTooltip(const std::string& tooltip) override;
  void SetEnabled(bool enabled) override;
  void SetVisible(bool visible) override;
  void Delete() override;
  void SetClickHandler(std::function<void()> handler) override;

 private:
  void Unadvise();

  ComPtr<IDispatch> control_;
  ComPtr<IConnectionPoint> connection_point_;
  ClickSink* sink_ = nullptr;
  DWORD cookie_ = 0;
};

class ExcelPopup : public CommandBarPopup {
 public:
  explicit ExcelPopup(ComPtr<IDispatch> control) : control_(std::move(control)) {}

  void SetCaption(const std::string& caption) override;
  void SetTooltip(const std::string& tooltip) override;
  void SetEnabled(bool enabled) override;
  void SetVisible(bool visible) override;
  void Delete() override;
  CommandBarButton& AddButton() override;

 private:
  ComPtr<IDispatch> control_;
  std::vector<std::unique_ptr<ExcelButton>> buttons_;
};

class ExcelCommandBar : public CommandBar {
 public:
  explicit ExcelCommandBar(ComPtr<IDispatch> bar) : bar_(std::move(bar)) {}
  CommandBarPopup& AddPopup() override;

 private:
  ComPtr<IDispatch> bar_;
  std::vector<std::unique_ptr<ExcelPopup>> popups_;
};

}  // namespace pelorin::excel
