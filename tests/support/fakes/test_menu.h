// The Pelorin menu built on a TestAddin's substitute command bar and wired
// into its context, so tests can see which commands a dialog switched.
#pragma once

#include <stdexcept>
#include <string>

#include "core/addin/excel_controls.h"
#include "tests/support/fakes/test_addin.h"

namespace pelorin::testing {

class TestMenu {
 public:
  explicit TestMenu(TestAddin& addin) : addin_(addin), controls_(addin.context) {
    controls_.ExcelApp(addin.application);
    controls_.CreateMenus();
    addin.context.controls = &controls_;
  }
  ~TestMenu() { addin_.context.controls = nullptr; }
  TestMenu(const TestMenu&) = delete;
  TestMenu& operator=(const TestMenu&) = delete;

  // The menu's button with this caption; throws when there is none.
  FakeButton& Button(const std::string& caption) const {
    FakePopup* popup = addin_.application.PelorinPopup();
    FakeButton* button = popup == nullptr ? nullptr : popup->Find(caption);
    if (button == nullptr) throw std::out_of_range("no menu command " + caption);
    return *button;
  }

 private:
  TestAddin& addin_;
  CExcelControls controls_;
};

}  // namespace pelorin::testing
