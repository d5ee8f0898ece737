// A spreadsheet application for tests: a substitute command bar whose
// buttons can be clicked, and an in-memory worksheet.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/host/application.h"

namespace pelorin::testing {

class FakeButton : public CommandBarButton {
 public:
  void SetCaption(const std::string& caption) override { this->caption = caption; }
  void SetTooltip(const std::string& tooltip) override { this->tooltip = tooltip; }
  void SetEnabled(bool enabled) override { this->enabled = enabled; }
  void SetVisible(bool visible) override { this->visible = visible; }
  void Delete() override { deleted = true; }
  void SetClickHandler(std::function<void()> handler) override { on_click = std::move(handler); }
  void Click() {
    if (deleted) throw std::logic_error("clicked a deleted button");
    if (on_click) on_click();
  }

  std::string caption, tooltip;
  bool enabled = true, visible = true, deleted = false;
  std::function<void()> on_click;
};

class FakePopup : public CommandBarPopup {
 public:
  void SetCaption(const std::string& caption) override { this->caption = caption; }
  void SetTooltip(const std::string& tooltip) override { this->tooltip = tooltip; }
  void SetEnabled(bool enabled) override { this->enabled = enabled; }
  void SetVisible(bool visible) override { this->visible = visible; }
  void Delete() override { deleted = true; }
  CommandBarButton& AddButton() override {
    buttons.push_back(std::make_unique<FakeButton>());
    return *buttons.back();
  }
  // The buttons not deleted, in order.
  std::vector<FakeButton*> LiveButtons() const {
    std::vector<FakeButton*> live;
    for (const auto& b : buttons) {
      if (!b->deleted) live.push_back(b.get());
    }
    return live;
  }
  FakeButton* Find(const std::string& caption) const {
    for (const auto& b : buttons) {
      if (!b->deleted && b->caption == caption) return b.get();
    }
    return nullptr;
  }

  std::string caption, tooltip;
  bool enabled = true, visible = true, deleted = false;
  std::vector<std::unique_ptr<FakeButton>> buttons;
};

class FakeCommandBar : public CommandBar {
 public:
  CommandBarPopup& AddPopup() override {
    popups.push_back(std::make_unique<FakePopup>());
    return *popups.back();
  }
  std::vector<std::unique_ptr<FakePopup>> popups;
};

// Cells by column letters and row; refuses what a spreadsheet refuses.
class FakeWorksheet : public Worksheet {
 public:
  std::string CellText(std::string_view column, std::int64_t row) const override {
    ++cell_reads;
    if (!IsValidColumnName(column) || row < 1) {
      throw CellAddressError("invalid cell address " + std::string(column) + std::to_string(row));
    }
    auto it = cells.find({Upper(column), row});
    return it == cells.end() ? std::string() : it->second;
  }
  void Set(std::string_view column, std::int64_t row, std::string text) {
    cells[{Upper(column), row}] = std::move(text);
  }
  static std::string Upper(std::string_view column) {
    std::string out(column);
    for (char& c : out) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
  }

  std::map<std::pair<std::string, std::int64_t>, std::string> cells;
  mutable int cell_reads = 0;
};

class FakeApplication : public Application {
 public:
  bool IsSpreadsheetHost() const override { return is_spreadsheet_host; }
  CommandBar& WorksheetMenuBar() override {
    if (!has_menu_bar) throw std::runtime_error("no Worksheet Menu Bar");
    return menu_bar;
  }
  Worksheet& ActiveSheet() override {
    if (!has_active_sheet) throw std::runtime_error("no active worksheet");
    return sheet;
  }
  void SelectWholeColumn(std::string_view column) override {
    if (!has_active_sheet) throw std::runtime_error("no active worksheet");
    selected_column = std::string(column);
  }
  FakePopup* PelorinPopup() const {
    return menu_bar.popups.empty() ? nullptr : menu_bar.popups.back().get();
  }

  bool is_spreadsheet_host = true;
  bool has_menu_bar = true;
  bool has_active_sheet = true;
  FakeCommandBar menu_bar;
  FakeWorksheet sheet;
  std::string selected_column;
};

}  // namespace pelorin::testing
