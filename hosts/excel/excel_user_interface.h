// The user-interface services inside Excel: message boxes owned by Excel's
// main window, the busy cursor, and the forms handed to the window renderer.
#pragma once

#include <windows.h>
// The Windows macro would rename the services' MessageBox.
#undef MessageBox

#include <memory>

#include "core/host/user_interface.h"
#include "hosts/excel/form_presenter.h"

namespace pelorin::excel {

class ExcelUserInterface : public UserInterface {
 public:
  ExcelUserInterface() = default;
  ~ExcelUserInterface() override;

  // Excel's main window, known once the add-in is connected; forms shown
  // before then have no owner.
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND owner() const { return owner_; }

  // MessageBoxW with the given style and title, owned by Excel's window; the
  // forms take no input meanwhile.
  int MessageBox(std::string_view text, int style, std::string_view title) override;
  void SetBusyCursor(bool busy) override;

  void FormShown(forms::Form& form) override { Presenter().Shown(form); }
  void FormHidden(forms::Form& form) override { Presenter().Hidden(form); }
  void FormUnloaded(forms::Form& form) override { Presenter().Unloaded(form); }
  void Repaint(forms::Form& form) override { Presenter().Repaint(form); }
  void YieldToMessageLoop() override { Presenter().PumpMessages(); }
  TextExtent MeasureText(const forms::Font& font, std::string_view text) override {
    return Presenter().MeasureText(font, text);
  }

 private:
  FormPresenter& Presenter();

  HWND owner_ = nullptr;
  std::unique_ptr<FormPresenter> presenter_;
};

}  // namespace pelorin::excel
