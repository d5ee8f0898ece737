// The add-in's window renderer: one modeless dialog per shown form model,
// owned by the host's main window, kept in step with the model at each sync
// point, with the user's events forwarded to the model.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "hosts/excel/form_presenter.h"
#include "hosts/excel/forms/form_window.h"
#include "hosts/excel/forms/screen_units.h"

namespace pelorin::excel {

class Win32FormPresenter : public FormPresenter, public EventSink {
 public:
  explicit Win32FormPresenter(HWND owner);
  ~Win32FormPresenter() override;

  void Shown(forms::Form& form) override;
  void Hidden(forms::Form& form) override;
  void Unloaded(forms::Form& form) override;
  void Repaint(forms::Form& form) override;
  void PumpMessages() override;
  void EnableForms(bool enabled) override;
  TextExtent MeasureText(const forms::Font& font, std::string_view text) override;

  // The native windows of a form, for tests and the host; null when the form
  // has no window.
  HWND FormWindowOf(const forms::Form& form) const;
  HWND ControlWindowOf(const forms::Form& form, std::string_view control) const;
  // Brings every window up to its model.
  void SyncAll();
  // Runs a user's event on the model, then brings every window up to date.
  void Forward(forms::Form& form, const std::function<void()>& event) override;

 private:
  FormWindow* Find(const forms::Form& form) const;
  void FreeClosedWindows();

  HWND owner_;
  FontCache fonts_;
  BrushCache brushes_;
  std::map<const forms::Form*, std::unique_ptr<FormWindow>> windows_;
  // Windows of unloaded forms, freed once no event of theirs is running.
  std::vector<std::unique_ptr<FormWindow>> closed_;
  int event_depth_ = 0;
};

}  // namespace pelorin::excel
