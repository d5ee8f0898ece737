#include "core/messaging/preview_form.h"

#include <cmath>
#include <stdexcept>

#include "core/forms/control_builders.h"
#include "core/host/user_interface.h"
#include "core/host/worksheet.h"
#include "core/messaging/row_ranges.h"

namespace pelorin {
namespace {

constexpr int kMobileColumnWidth = 1700;
constexpr int kMessageColumnDefaultWidth = 5000;
constexpr int kMessageColumnMargin = 5000;
constexpr int kFirstRowMargin = 1000;

forms::Control Grid() {
  forms::Control c;
  c.name = "dgPreview";
  c.kind = forms::ControlKind::kGrid;
  c.rect = {120, 120, 9360, 5640};
  c.back_color = forms::kWhite;
  c.tab_index = 0;
  c.grid.columns = 2;
  c.grid.rows.assign(1, std::vector<std::string>(2));
  c.grid.column_widths = {0, kMessageColumnDefaultWidth};
  c.grid.row_heights = {0};
  return c;
}

forms::Control CancelButton() {
  forms::Control c = forms::Button("btnCancel", "Cancel", {8385, 5880, 1095, 375}, 1);
  c.font.bold = true;
  return c;
}

// Lists rows into the grid, keeping the count and the longest message
// across the items of a multiple range.
class PreviewLister {
 public:
  PreviewLister(forms::GridModel& grid, const PreviewRequest& request, const PreviewSources& sources)
      : grid_(grid), request_(request), sources_(sources) {}

  bool Full() const { return listed_ >= kPreviewRowCap; }

  void List(std::int64_t first, std::int64_t last) {
    for (std::int64_t row = first; row <= last && !Full(); ++row) ListRow(row);
  }

 private:
  void ListRow(std::int64_t row) {
    if (row < 1) throw CellAddressError("row " + std::to_string(row) + ": no such worksheet row");
    std::string mobile = sources_.sheet.CellText(request_.mobile_column, row);
    if (mobile.empty()) return;
    std::string message = sources_.merge(sources_.sheet, request_.message_template, row);
    grid_.AddItem(mobile + "\t" + message);
    int length = forms::Utf8Length(message);
    if (length > longest_) {
      longest_ = length;
      Measure(message);
    }
    ++listed_;
  }

  // The label sizes itself to its caption; the grid follows the label.
  void Measure(const std::string& message) {
    forms::Control& label = sources_.measuring_label;
    label.text = message;
    TextExtent extent = sources_.ui.MeasureText(label.font, message);
    label.rect.width = static_cast<int>(std::lround(extent.width));
    label.rect.height = static_cast<int>(std::lround(extent.height));
    grid_.column_widths[1] = label.rect.width + kMessageColumnMargin;
    if (grid_.row_heights.size() < 2) grid_.row_heights.resize(2, 0);
    grid_.row_heights[1] = label.rect.height + kFirstRowMargin;
  }

  forms::GridModel& grid_;
  const PreviewRequest& request_;
  const PreviewSources& sources_;
  int listed_ = 0;
  int longest_ = 0;
};

std::int64_t RowBound(std::string_view text) {
  std::optional<std::int64_t> row = ParseRowNumber(text);
  if (!row) throw std::invalid_argument("range bound \"" + std::string(text) + "\" is not a row number");
  return *row;
}

}  // namespace

frmPreview::frmPreview(UserInterface& ui) : Form(ui, "frmPreview", "Preview", 9600, 6480) {}

void frmPreview::BuildControls() {
  AddControl(Grid());
  forms::Control& cancel = AddControl(CancelButton());
  cancel.on_click = [this] { Hide(); };
}

void frmPreview::OnLoad() {
  forms::GridModel& grid = control("dgPreview").grid;
  grid.column_widths[0] = kMobileColumnWidth;
}

PreviewFill FillPreview(frmPreview& preview, const PreviewRequest& request, const PreviewSources& sources) {
  forms::GridModel& grid = preview.grid();
  grid.SetCell(0, 0, "Mobile");
  grid.SetCell(0, 1, "Message");
  // Long messages wrap inside the row height measured for them.
  grid.word_wrap = true;

  PreviewLister lister(grid, request, sources);
  if (!request.multiple_range) {
    lister.List(request.rows.first, request.rows.last);
    return PreviewFill::kListed;
  }
  for (std::string_view item : SplitRangeItems(request.range_text)) {
    if (lister.Full()) break;
    auto bounds = SplitRangeItem(item);
    if (!bounds) return PreviewFill::kInvalidMultipleRange;
    lister.List(RowBound(bounds->first), RowBound(bounds->second));
  }
  return PreviewFill::kListed;
}

}  // namespace pelorin
