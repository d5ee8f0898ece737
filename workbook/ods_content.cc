#include "workbook/ods_content.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

#include "workbook/cell_text_limit.h"
#include "workbook/number_text.h"
#include "workbook/sheet_builder.h"
#include "workbook/sheet_xml_scanner.h"
#include "workbook/xml_stream.h"

namespace pelorin::workbook {
namespace {

std::uint64_t Repeat(std::string_view text) {
  if (text.data() == nullptr) return 1;
  std::uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return UINT64_MAX;
  return error == std::errc() && value > 0 ? value : 1;
}

// Names are compared with literals for every element and attribute of a
// sheet: by length first, then bytes the compiler compares inline.
template <std::size_t N>
bool Is(std::string_view name, const char (&literal)[N]) {
  return name.size() == N - 1 && std::memcmp(name.data(), literal, N - 1) == 0;
}

enum class ValueType { kNone, kNumber, kDate, kTime, kBoolean, kString };

ValueType TypeOf(std::string_view type) {
  if (Is(type, "float") || Is(type, "percentage") || Is(type, "currency")) return ValueType::kNumber;
  if (Is(type, "string")) return ValueType::kString;
  if (Is(type, "date")) return ValueType::kDate;
  if (Is(type, "time")) return ValueType::kTime;
  if (Is(type, "boolean")) return ValueType::kBoolean;
  return ValueType::kNone;
}

// A cell's attributes that matter, in one pass: this runs for every cell
// of the sheet. The first of each local name counts.
struct CellAttributes {
  std::string_view repeat;
  ValueType type = ValueType::kNone;
  bool typed = false;
  bool error = false;  // calcext:value-type="error"
  std::string_view number, date, time, flag, string;

  CellAttributes(const XmlAttribute* attributes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      std::string_view name = attributes[i].name;
      std::string_view value = attributes[i].value;
      switch (name.size()) {
        case 5:
          if (Is(name, "value")) First(number, value);
          break;
        case 10:
          if (Is(name, "value-type")) {
            if (Is(attributes[i].prefix, "calcext")) {
              if (Is(value, "error")) error = true;
            } else if (!typed) {
              type = TypeOf(value);
              typed = true;
            }
          } else if (Is(name, "date-value")) {
            First(date, value);
          } else if (Is(name, "time-value")) {
            First(time, value);
          }
          break;
        case 12:
          if (Is(name, "string-value")) First(string, value);
          break;
        case 13:
          if (Is(name, "boolean-value")) First(flag, value);
          break;
        case 23:
          if (Is(name, "number-columns-repeated")) First(repeat, value);
          break;
        default:
          break;
      }
    }
  }

 private:
  static void First(std::string_view& slot, std::string_view value) {
    if (slot.data() == nullptr) slot = value;
  }
};

// The typed value of a cell, from its attributes. LibreOffice marks formula
// errors with calcext:value-type="error" beside a float value of 0; the
// paragraph text ("#DIV/0!") is what a spreadsheet shows then.
struct CellValue {
  // Set when the attributes decide the text.
  bool decided = false;
  std::string text;
  // A 0 or 1 float: LibreOffice stores booleans it converted from another
  // format as =TRUE() with value 1, showing "TRUE" by a boolean format.
  bool maybe_boolean = false;

  // `convert` false leaves a value as stored: for a column not kept only
  // whether the cell is empty matters, and a value converts to empty text
  // only when it is stored empty.
  void Read(const CellAttributes& cell, bool convert) {
    decided = false;
    maybe_boolean = false;
    text.clear();
    if (cell.error) return;
    ValueType type = cell.type;
    std::string_view stored;
    switch (type) {
      case ValueType::kNumber:
        stored = cell.number;
        break;
      case ValueType::kDate:
        stored = cell.date;
        break;
      case ValueType::kTime:
        stored = cell.time;
        break;
      case ValueType::kBoolean:
        stored = cell.flag;
        break;
      case ValueType::kString:
        stored = cell.string;
        break;
      case ValueType::kNone:
        break;
    }
    if (stored.data() == nullptr) return;
    decided = true;
    if (type == ValueType::kBoolean) {
      text = Is(stored, "true") || Is(stored, "1") ? "TRUE" : "FALSE";
    } else if (!convert || type == ValueType::kString) {
      text = stored;
    } else if (type == ValueType::kNumber) {
      if (IsGeneralNumberText(stored)) {
        text = stored;
      } else {
        text = GeneralNumberText(stored);
      }
    } else if (type == ValueType::kDate) {
      text = IsoDateTimeText(stored);
    } else {
      text = IsoDurationText(stored);
    }
    maybe_boolean = type == ValueType::kNumber && (Is(text, "0") || Is(text, "1"));
  }
};

struct RowCell {
  int column;
  std::uint64_t repeat;
  bool kept;  // false: the text is only known not to be empty
  std::string text;
};

class ContentHandler : public SheetXmlHandler {
 public:
  ContentHandler(std::string label, const ReadOptions& options, std::vector<OdsSheet>& out)
      : label_(std::move(label)), options_(options), out_(out) {}
  // Only the chosen table is read, its cells handed to `visitor`.
  ContentHandler(std::string label, const ReadOptions& options, std::vector<OdsSheet>& out,
                 const OdsStreamChoice& choice, CellVisitor& visitor)
      : label_(std::move(label)), options_(options), out_(out), choice_(&choice),
        visitor_(&visitor) {}

  // The place of the table handed to the visitor, or -1.
  int streamed() const { return streamed_; }

  void StartElement(std::string_view name, const XmlAttribute* attributes,
                    std::size_t count) override {
    if (skip_depth_ > 0) {
      ++skip_depth_;
    } else if (Is(name, "table")) {
      StartTable(attributes, count);
    } else if (table_depth_ != 1) {
      return;
    } else if (Is(name, "table-cell") || Is(name, "covered-table-cell")) {
      StartCell(attributes, count);
    } else if (Is(name, "table-row")) {
      StartRow(attributes, count);
    } else if (!in_cell_) {
      return;
    } else if (Is(name, "annotation")) {
      skip_depth_ = 1;  // a comment's text is not the cell's
    } else if (IsParagraph(name)) {
      if (paragraphs_++ > 0) text_ += '\n';
      ++paragraph_depth_;
    } else if (paragraph_depth_ > 0) {
      InlineElement(name, attributes, count);
    }
  }

  void EndElement(std::string_view name) override {
    if (skip_depth_ > 0) {
      --skip_depth_;
    } else if (Is(name, "table")) {
      if (--table_depth_ == 0) EndTable();
    } else if (table_depth_ != 1) {
      return;
    } else if (Is(name, "table-cell") || Is(name, "covered-table-cell")) {
      EndCell();
    } else if (Is(name, "table-row")) {
      EndRow();
    } else if (IsParagraph(name) && paragraph_depth_ > 0) {
      --paragraph_depth_;
    }
  }

  void Text(std::string_view text) override {
    if (skip_depth_ == 0 && paragraph_depth_ > 0) AppendText(text);
  }

  // "<text:p>Ann</text:p>", a cell's paragraph, the commonest element.
  void TextElement(std::string_view name, std::string_view text) override {
    if (skip_depth_ == 0 && table_depth_ == 1 && in_cell_ && IsParagraph(name)) {
      if (paragraphs_++ > 0) text_ += '\n';
      AppendText(text);
      return;
    }
    SheetXmlHandler::TextElement(name, text);
  }

 private:
  static bool IsParagraph(std::string_view name) { return Is(name, "p") || Is(name, "h"); }

  // Stops collecting a giant cell's text as soon as it is certainly too long.
  void AppendText(std::string_view text) {
    if (AppendCellText(text_, text) && builder_ != nullptr) {
      builder_->RefuseOverlong(next_column_, next_row_);
    }
  }

  void StartTable(const XmlAttribute* attributes, std::size_t count) {
    if (table_depth_++ > 0) return;  // a table inside a cell is not a sheet
    std::string_view name = FindXmlAttribute(attributes, count, "name");
    name_ = name.data() == nullptr ? "Sheet" + std::to_string(out_.size() + 1) : std::string(name);
    int index = static_cast<int>(out_.size());
    builder_.reset();
    if (visitor_ != nullptr) {
      if (streamed_ < 0 && Chosen(index)) {
        builder_ = std::make_unique<SheetBuilder>(options_, *visitor_);
        builder_->set_place(label_, name_);
        streamed_ = index;
      }
    } else if (!options_.only_sheet || *options_.only_sheet == index) {
      builder_ = std::make_unique<SheetBuilder>(options_);
      builder_->set_place(label_, name_);
    }
    next_row_ = 1;
  }

  bool Chosen(int index) const {
    return choice_->name.empty() ? choice_->index == index : choice_->name == name_;
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

  void StartRow(const XmlAttribute* attributes, std::size_t count) {
    row_repeat_ = Repeat(FindXmlAttribute(attributes, count, "number-rows-repeated"));
    row_size_ = 0;
    next_column_ = 1;
  }

  void EndRow() {
    if (builder_ != nullptr && row_size_ != 0) PutRow();
    // Trailing blank rows often repeat a million times: only count them.
    next_row_ = next_row_ > kMaxRows ? next_row_ : next_row_ + static_cast<std::int64_t>(
                                                       std::min<std::uint64_t>(row_repeat_, kMaxRows + 1));
  }

  void PutRow() {
    std::uint64_t rows = std::min<std::uint64_t>(
        row_repeat_, next_row_ > kMaxRows ? 0 : static_cast<std::uint64_t>(kMaxRows - next_row_ + 1));
    std::uint64_t cells_per_row = 0;
    for (std::size_t i = 0; i < row_size_; ++i) cells_per_row += ColumnsOf(row_cells_[i]);
    // Counted before anything is stored, so a bomb costs no memory.
    copies_ += rows * cells_per_row - std::min<std::uint64_t>(rows * cells_per_row, row_size_);
    if (copies_ > kMaxRepeatedCopies) {
      throw XmlContentError("repeated cells ask for more than " +
                            std::to_string(kMaxRepeatedCopies) + " copies");
    }
    for (std::size_t i = 0; i < row_size_; ++i) {
      const RowCell& cell = row_cells_[i];
      // The far corner of the copies is all the used range needs.
      if (!cell.kept && rows != 0) {
        builder_->Note(cell.column + static_cast<int>(ColumnsOf(cell) - 1),
                       next_row_ + static_cast<std::int64_t>(rows - 1));
      }
    }
    // Row by row, left to right: a visitor sees the cells in that order.
    for (std::uint64_t copy = 0; copy < rows; ++copy) {
      for (std::size_t i = 0; i < row_size_; ++i) {
        const RowCell& cell = row_cells_[i];
        if (!cell.kept) continue;
        std::uint64_t columns = ColumnsOf(cell);
        for (std::uint64_t offset = 0; offset < columns; ++offset) {
          builder_->Put(cell.column + static_cast<int>(offset),
                        next_row_ + static_cast<std::int64_t>(copy), cell.text);
        }
      }
    }
  }

  static std::uint64_t ColumnsOf(const RowCell& cell) {
    return std::min<std::uint64_t>(cell.repeat, static_cast<std::uint64_t>(kMaxColumns - cell.column + 1));
  }

  // True when a column the cell's copies cover is kept. A cell repeated
  // across many columns (a row's blank tail spans thousands) is taken as
  // kept without looking: converting its value is never wrong.
  bool Kept(int column, std::uint64_t repeat) const {
    if (builder_ == nullptr) return false;
    if (repeat > 64) return true;
    int last = std::min(column + static_cast<int>(repeat) - 1, kMaxColumns);
    for (int at = column; at <= last; ++at) {
      if (builder_->Wants(at)) return true;
    }
    return false;
  }

  void StartCell(const XmlAttribute* attributes, std::size_t count) {
    in_cell_ = true;
    CellAttributes cell(attributes, count);
    cell_repeat_ = Repeat(cell.repeat);
    cell_kept_ = next_column_ <= kMaxColumns && Kept(next_column_, cell_repeat_);
    cell_value_.Read(cell, cell_kept_);
    text_.clear();
    paragraphs_ = 0;
    paragraph_depth_ = 0;
  }

  void EndCell() {
    in_cell_ = false;
    bool shown_as_boolean = cell_value_.maybe_boolean && (Is(text_, "TRUE") || Is(text_, "FALSE"));
    const std::string& text = cell_value_.decided && !shown_as_boolean ? cell_value_.text : text_;
    // Refused here, before the row keeps it and repeats multiply it.
    if (builder_ != nullptr) builder_->CheckLength(next_column_, next_row_, text);
    if (!text.empty() && next_column_ <= kMaxColumns && builder_ != nullptr) {
      if (row_size_ == row_cells_.size()) row_cells_.emplace_back();
      RowCell& cell = row_cells_[row_size_++];
      cell.column = next_column_;
      cell.repeat = cell_repeat_;
      cell.kept = cell_kept_;
      if (cell_kept_) cell.text.assign(text);  // the slot's buffer is reused row after row
    }
    std::uint64_t advance = std::min<std::uint64_t>(cell_repeat_, kMaxColumns + 1);
    next_column_ = static_cast<int>(std::min<std::uint64_t>(next_column_ + advance, kMaxColumns + 1));
  }

  void InlineElement(std::string_view name, const XmlAttribute* attributes, std::size_t count) {
    if (name == "s") {
      std::uint64_t spaces = Repeat(FindXmlAttribute(attributes, count, "c"));
      AppendCellText(text_, std::string(static_cast<std::size_t>(std::min<std::uint64_t>(spaces, 1024)), ' '));
    } else if (name == "tab") {
      AppendCellText(text_, "\t");
    } else if (name == "line-break") {
      AppendCellText(text_, "\n");
    } else if (name == "note") {
      skip_depth_ = 1;
    }
  }

  std::string label_;
  const ReadOptions& options_;
  std::vector<OdsSheet>& out_;
  const OdsStreamChoice* choice_ = nullptr;
  CellVisitor* visitor_ = nullptr;
  int streamed_ = -1;
  std::unique_ptr<SheetBuilder> builder_;
  std::string name_;
  // The row's non-empty cells are the first row_size_; the rest are kept
  // for their buffers.
  std::vector<RowCell> row_cells_;
  std::size_t row_size_ = 0;
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
  bool cell_kept_ = false;
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
  ContentHandler handler(archive.label(), options, sheets);
  ScanSheetXmlPart(archive, part, options.max_inflated_bytes, handler);
  return sheets;
}

std::vector<OdsSheet> StreamOdsContent(const ZipArchive& archive, std::string_view part,
                                       const ReadOptions& options, const OdsStreamChoice& choice,
                                       CellVisitor& visitor, int& streamed) {
  std::vector<OdsSheet> sheets;
  ContentHandler handler(archive.label(), options, sheets, choice, visitor);
  ScanSheetXmlPart(archive, part, options.max_inflated_bytes, handler);
  streamed = handler.streamed();
  return sheets;
}

std::string ReadOdsActiveTable(const ZipArchive& archive, std::string_view part,
                               std::uint64_t max_bytes) {
  SettingsHandler handler;
  ParseXmlPart(archive, part, max_bytes, handler);
  return handler.active();
}

}  // namespace pelorin::workbook
