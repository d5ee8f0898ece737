#include "workbook/ods_content.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

#include "workbook/cell_text_limit.h"
#include "workbook/number_text.h"
#include "workbook/sheet_builder.h"
#include "workbook/xml_stream.h"

namespace pelorin::workbook {
namespace {

std::uint64_t Repeat(const char* text) {
  if (text == nullptr) return 1;
  std::uint64_t value = 0;
  std::string_view view(text);
  auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
  if (error == std::errc::result_out_of_range) return UINT64_MAX;
  return error == std::errc() && value > 0 ? value : 1;
}

// The typed value of a cell, from its attributes. LibreOffice marks formula
// errors with calcext:value-type="error" beside a float value of 0; the
// paragraph text ("#DIV/0!") is what a spreadsheet shows then.
struct CellValue {
  std::string type;
  bool error = false;
  // A 0 or 1 float: LibreOffice stores booleans it converted from another
  // format as =TRUE() with value 1, showing "TRUE" by a boolean format.
  bool maybe_boolean = false;
  std::optional<std::string> text;  // set when the attributes decide the text

  static CellValue From(const char** attributes) {
    CellValue cell;
    for (const char** at = attributes; *at != nullptr; at += 2) {
      XmlName name = SplitXmlName(at[0]);
      if (name.local != "value-type") continue;
      if (name.prefix == "calcext") {
        cell.error = std::string_view(at[1]) == "error";
      } else if (cell.type.empty()) {
        cell.type = at[1];
      }
    }
    if (cell.error) return cell;
    auto value = [&](std::string_view attribute) { return FindAttribute(attributes, attribute); };
    if (cell.type == "float" || cell.type == "percentage" || cell.type == "currency") {
      if (const char* number = value("value")) {
        cell.text = GeneralNumberText(std::string_view(number));
        cell.maybe_boolean = cell.type == "float" && (*cell.text == "0" || *cell.text == "1");
      }
    } else if (cell.type == "date") {
      if (const char* date = value("date-value")) cell.text = IsoDateTimeText(date);
    } else if (cell.type == "time") {
      if (const char* time = value("time-value")) cell.text = IsoDurationText(time);
    } else if (cell.type == "boolean") {
      if (const char* flag = value("boolean-value")) {
        std::string_view text(flag);
        cell.text = text == "true" || text == "1" ? "TRUE" : "FALSE";
      }
    } else if (cell.type == "string") {
      if (const char* text = value("string-value")) cell.text = text;
    }
    return cell;
  }
};

struct RowCell {
  int column;
  std::uint64_t repeat;
  std::string text;
};

class ContentHandler : public XmlHandler {
 public:
  ContentHandler(const ReadOptions& options, std::vector<OdsSheet>& out)
      : options_(options), out_(out) {}

  void StartElement(std::string_view name, const char** attributes) override {
    if (skip_depth_ > 0) {
      ++skip_depth_;
    } else if (name == "table") {
      StartTable(attributes);
    } else if (table_depth_ != 1) {
      return;
    } else if (name == "table-row") {
      StartRow(attributes);
    } else if (name == "table-cell" || name == "covered-table-cell") {
      StartCell(attributes);
    } else if (!in_cell_) {
      return;
    } else if (name == "annotation") {
      skip_depth_ = 1;  // a comment's text is not the cell's
    } else if (name == "p" || name == "h") {
      if (paragraphs_++ > 0) text_ += '\n';
      ++paragraph_depth_;
    } else if (paragraph_depth_ > 0) {
      InlineElement(name, attributes);
    }
  }

  void EndElement(std::string_view name) override {
    if (skip_depth_ > 0) {
      --skip_depth_;
    } else if (name == "table") {
      if (--table_depth_ == 0) EndTable();
    } else if (table_depth_ != 1) {
      return;
    } else if (name == "table-row") {
      EndRow();
    } else if (name == "table-cell" || name == "covered-table-cell") {
      EndCell();
    } else if ((name == "p" || name == "h") && paragraph_depth_ > 0) {
      --paragraph_depth_;
    }
  }

  void Text(std::string_view text) override {
    if (skip_depth_ == 0 && paragraph_depth_ > 0 && AppendCellText(text_, text) &&
        builder_ != nullptr) {
      builder_->RefuseOverlong(next_column_, next_row_);
    }
  }

 private:
  void StartTable(const char** attributes) {
    if (table_depth_++ > 0) return;  // a table inside a cell is not a sheet
    const char* name = FindAttribute(attributes, "name");
    name_ = name == nullptr ? "Sheet" + std::to_string(out_.size() + 1) : name;
    int index = static_cast<int>(out_.size());
    builder_.reset();
    if (!options_.only_sheet || *options_.only_sheet == index) {
      builder_ = std::make_unique<SheetBuilder>(options_);
      builder_->set_sheet_name(name_);
    }
    next_row_ = 1;
  }

  void EndTable() {
    OdsSheet sheet{SheetInfo{name_}, nullptr};
    if (builder_ != nullptr) {
      sheet.info = builder_->info(name_);
      sheet.cells = builder_->Take();
    }
    out_.push_back(std::move(sheet));
    builder_.reset();
  }

  void StartRow(const char** attributes) {
    row_repeat_ = Repeat(FindAttribute(attributes, "number-rows-repeated"));
    row_cells_.clear();
    next_column_ = 1;
  }

  void EndRow() {
    if (builder_ != nullptr && !row_cells_.empty()) PutRow();
    // Trailing blank rows often repeat a million times: only count them.
    next_row_ = next_row_ > kMaxRows ? next_row_ : next_row_ + static_cast<std::int64_t>(
                                                       std::min<std::uint64_t>(row_repeat_, kMaxRows + 1));
  }

  void PutRow() {
    std::uint64_t rows = std::min<std::uint64_t>(
        row_repeat_, next_row_ > kMaxRows ? 0 : static_cast<std::uint64_t>(kMaxRows - next_row_ + 1));
    std::uint64_t cells_per_row = 0;
    for (const RowCell& cell : row_cells_) cells_per_row += ColumnsOf(cell);
    // Counted before anything is stored, so a bomb costs no memory.
    copies_ += rows * cells_per_row - std::min<std::uint64_t>(rows * cells_per_row, row_cells_.size());
    if (copies_ > kMaxRepeatedCopies) {
      throw XmlContentError("repeated cells ask for more than " +
                            std::to_string(kMaxRepeatedCopies) + " copies");
    }
    for (std::uint64_t copy = 0; copy < rows; ++copy) {
      for (const RowCell& cell : row_cells_) {
        for (std::uint64_t offset = 0; offset < ColumnsOf(cell); ++offset) {
          builder_->Put(cell.column + static_cast<int>(offset),
                        next_row_ + static_cast<std::int64_t>(copy), cell.text);
        }
      }
    }
  }

  static std::uint64_t ColumnsOf(const RowCell& cell) {
    return std::min<std::uint64_t>(cell.repeat, static_cast<std::uint64_t>(kMaxColumns - cell.column + 1));
  }

  void StartCell(const char** attributes) {
    in_cell_ = true;
    cell_repeat_ = Repeat(FindAttribute(attributes, "number-columns-repeated"));
    cell_value_ = CellValue::From(attributes);
    text_.clear();
    paragraphs_ = 0;
    paragraph_depth_ = 0;
  }

  void EndCell() {
    in_cell_ = false;
    bool shown_as_boolean = cell_value_.maybe_boolean && (text_ == "TRUE" || text_ == "FALSE");
    const std::string& text = cell_value_.text && !shown_as_boolean ? *cell_value_.text : text_;
    // Refused here, before the row keeps it and repeats multiply it.
    if (builder_ != nullptr) builder_->CheckLength(next_column_, next_row_, text);
    if (!text.empty() && next_column_ <= kMaxColumns) {
      row_cells_.push_back({next_column_, cell_repeat_, text});
    }
    std::uint64_t advance = std::min<std::uint64_t>(cell_repeat_, kMaxColumns + 1);
    next_column_ = static_cast<int>(std::min<std::uint64_t>(next_column_ + advance, kMaxColumns + 1));
  }

  void InlineElement(std::string_view name, const char** attributes) {
    if (name == "s") {
      std::uint64_t count = Repeat(FindAttribute(attributes, "c"));
      AppendCellText(text_, std::string(static_cast<std::size_t>(std::min<std::uint64_t>(count, 1024)), ' '));
    } else if (name == "tab") {
      AppendCellText(text_, "\t");
    } else if (name == "line-break") {
      AppendCellText(text_, "\n");
    } else if (name == "note") {
      skip_depth_ = 1;
    }
  }

  const ReadOptions& options_;
  std::vector<OdsSheet>& out_;
  std::unique_ptr<SheetBuilder> builder_;
  std::string name_;
  std::vector<RowCell> row_cells_;
  CellValue cell_value_;
  std::string text_;
  std::int64_t next_row_ = 1;
  std::uint64_t row_repeat_ = 1;
  std::uint64_t cell_repeat_ = 1;
  std::uint64_t copies_ = 0;
  int next_column_ = 1;
  int table_depth_ = 0;
  int skip_depth_ = 0;
  int paragraph_depth_ = 0;
  int paragraphs_ = 0;
  bool in_cell_ = false;
};

class SettingsHandler : public XmlHandler {
 public:
  void StartElement(std::string_view name, const char** attributes) override {
    if (name != "config-item" || found_) return;
    const char* item = FindAttribute(attributes, "name");
    collecting_ = item != nullptr && std::strcmp(item, "ActiveTable") == 0;
  }
  void EndElement(std::string_view name) override {
    if (name == "config-item" && collecting_) {
      collecting_ = false;
      found_ = true;
    }
  }
  void Text(std::string_view text) override {
    if (collecting_) active_.append(text);
  }
  const std::string& active() const { return active_; }

 private:
  std::string active_;
  bool collecting_ = false;
  bool found_ = false;
};

}  // namespace

std::vector<OdsSheet> ReadOdsContent(const ZipArchive& archive, std::string_view part,
                                     const ReadOptions& options) {
  std::vector<OdsSheet> sheets;
  ContentHandler handler(options, sheets);
  ParseXmlPart(archive, part, options.max_inflated_bytes, handler);
  return sheets;
}

std::string ReadOdsActiveTable(const ZipArchive& archive, std::string_view part,
                               std::uint64_t max_bytes) {
  SettingsHandler handler;
  ParseXmlPart(archive, part, max_bytes, handler);
  return handler.active();
}

}  // namespace pelorin::workbook
