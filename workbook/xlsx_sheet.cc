#include "workbook/xlsx_sheet.h"

#include <charconv>
#include <string>

#include "workbook/cell_text_limit.h"
#include "workbook/number_text.h"
#include "workbook/sheet_xml_scanner.h"

namespace pelorin::workbook {
namespace {

std::uint64_t ParseUnsigned(std::string_view text, std::uint64_t otherwise) {
  if (text.data() == nullptr) return otherwise;
  std::uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : otherwise;
}

// XML blanks (space, tab, CR, LF) around a value are layout, not part of a
// number, index or flag: some writers put them there ("<v> 41</v>").
void TrimXmlBlanks(std::string& value) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t end = value.size();
  while (end > 0 && blank(value[end - 1])) --end;
  std::size_t begin = 0;
  while (begin < end && blank(value[begin])) ++begin;
  if (begin != 0 || end != value.size()) value = value.substr(begin, end - begin);
}

enum class CellType { kNumber, kShared, kInline, kFormulaText, kBoolean, kError, kDate };

CellType TypeOf(std::string_view type) {
  if (type == "s") return CellType::kShared;
  if (type == "inlineStr") return CellType::kInline;
  if (type == "str") return CellType::kFormulaText;
  if (type == "b") return CellType::kBoolean;
  if (type == "e") return CellType::kError;
  if (type == "d") return CellType::kDate;
  return CellType::kNumber;
}

class SheetHandler : public SheetXmlHandler {
 public:
  SheetHandler(const XlsxSheetContext& context, SheetBuilder& sheet)
      : context_(context), sheet_(sheet) {}

  void StartElement(std::string_view name, const XmlAttribute* attributes,
                    std::size_t count) override {
    if (name == "c") {
      StartCell(attributes, count);
    } else if (name == "v" && in_cell_) {
      collecting_value_ = true;
    } else if (name == "is" && in_cell_) {
      in_inline_ = true;
    } else if (in_inline_) {
      inline_text_.Start(name);
    } else if (name == "row") {
      StartRow(attributes, count);
    }
  }

  void EndElement(std::string_view name) override {
    if (name == "c" && in_cell_) {
      EndCell();
    } else if (name == "v") {
      collecting_value_ = false;
    } else if (name == "is") {
      in_inline_ = false;
    } else if (in_inline_) {
      inline_text_.End(name);
    }
  }

  void TextElement(std::string_view name, std::string_view text) override {
    if (name == "v" && in_cell_) {
      // a cell's value, the commonest element of a sheet
      if (AppendCellText(value_, text)) sheet_.RefuseOverlong(column_, row_);
      return;
    }
    SheetXmlHandler::TextElement(name, text);
  }

  void Text(std::string_view text) override {
    if (collecting_value_) {
      if (AppendCellText(value_, text)) sheet_.RefuseOverlong(column_, row_);
    } else if (in_inline_) {
      inline_text_.Text(text);
      if (inline_text_.full()) sheet_.RefuseOverlong(column_, row_);
    }
  }

 private:
  void StartRow(const XmlAttribute* attributes, std::size_t count) {
    std::uint64_t number = ParseUnsigned(FindXmlAttribute(attributes, count, "r"), 0);
    row_ = number == 0 ? row_ + 1 : static_cast<std::int64_t>(number);
    next_column_ = 1;
  }

  void StartCell(const XmlAttribute* attributes, std::size_t count) {
    in_cell_ = true;
    value_.clear();
    inline_text_.Clear();
    column_ = next_column_;
    std::string_view reference;
    std::string_view type;
    std::string_view style;
    // One pass over the attributes: this runs for every cell of the sheet.
    for (std::size_t i = 0; i < count; ++i) {
      std::string_view name = attributes[i].name;
      if (name.size() != 1) continue;
      if (name[0] == 'r') {
        reference = attributes[i].value;
      } else if (name[0] == 't') {
        type = attributes[i].value;
      } else if (name[0] == 's') {
        style = attributes[i].value;
      }
    }
    if (reference.data() != nullptr) {
      int column = 0;
      std::int64_t row = 0;
      if (!ParseCellReference(reference, column, row) || column == 0) {
        throw XmlContentError("bad cell reference \"" + std::string(reference) + "\"");
      }
      column_ = column;
      if (row != 0) row_ = row;
    }
    next_column_ = column_ < kMaxColumns ? column_ + 1 : kMaxColumns + 1;
    type_ = TypeOf(type);
    style_ = ParseUnsigned(style, 0);
  }

  void EndCell() {
    in_cell_ = false;
    if (!sheet_.Wants(column_)) {
      if (!value_.empty() || !inline_text_.text().empty()) sheet_.Note(column_, row_);
      return;
    }
    // Formula text and errors are kept as written; the rest are values.
    if (type_ != CellType::kFormulaText && type_ != CellType::kInline) TrimXmlBlanks(value_);
    switch (type_) {
      case CellType::kShared: {
        const std::uint64_t index = ParseUnsigned(value_, UINT64_MAX);
        if (!context_.strings.Known(index)) {
          sheet_.RefuseOverlong(column_, row_,
                                "the shared string it uses follows one of more than 32,767 "
                                "characters, more than a spreadsheet cell can, and was not read");
        }
        sheet_.Put(column_, row_, context_.strings.at(index));
        break;
      }
      case CellType::kInline:
        sheet_.Put(column_, row_, DecodeXmlEscapes(inline_text_.text()));
        break;
      case CellType::kFormulaText:
        sheet_.Put(column_, row_, DecodeXmlEscapes(value_));
        break;
      case CellType::kBoolean:
        if (!value_.empty()) sheet_.Put(column_, row_, value_ == "0" ? "FALSE" : "TRUE");
        break;
      case CellType::kError:
        sheet_.Put(column_, row_, value_);
        break;
      case CellType::kDate:
        sheet_.Put(column_, row_, IsoDateTimeText(value_));
        break;
      case CellType::kNumber:
        PutNumber();
        break;
    }
  }

  void PutNumber() {
    if (value_.empty()) return;
    DateKind kind = context_.styles.kind(style_);
    if (kind == DateKind::kNone) {
      if (IsGeneralNumberText(value_)) {
        sheet_.Put(column_, row_, value_);
      } else {
        sheet_.Put(column_, row_, GeneralNumberText(value_));
      }
      return;
    }
    double serial = 0;
    auto [end, error] = std::from_chars(value_.data(), value_.data() + value_.size(), serial);
    if (error != std::errc() || end != value_.data() + value_.size()) {
      sheet_.Put(column_, row_, value_);
      return;
    }
    sheet_.Put(column_, row_, SerialDateText(serial, kind, context_.date1904));
  }

  const XlsxSheetContext& context_;
  SheetBuilder& sheet_;
  StringItemCollector inline_text_;
  std::string value_;
  std::int64_t row_ = 0;
  int column_ = 1;
  int next_column_ = 1;
  std::uint64_t style_ = 0;
  CellType type_ = CellType::kNumber;
  bool in_cell_ = false;
  bool collecting_value_ = false;
  bool in_inline_ = false;
};

}  // namespace

bool ParseCellReference(std::string_view reference, int& column, std::int64_t& row) {
  column = 0;
  row = 0;
  std::size_t i = 0;
  for (; i < reference.size(); ++i) {
    char c = reference[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') break;
    if (column > kMaxColumns) continue;  // far too wide already: keep it too wide
    column = column * 26 + (c - 'A' + 1);
  }
  for (; i < reference.size(); ++i) {
    char c = reference[i];
    if (c < '0' || c > '9') return false;
    if (row <= kMaxRows * 10) row = row * 10 + (c - '0');
  }
  if (column > kMaxColumns) column = kMaxColumns + 1;
  return true;
}

void ReadXlsxSheet(const ZipArchive& archive, std::string_view part, std::uint64_t max_bytes,
                   const XlsxSheetContext& context, SheetBuilder& sheet) {
  SheetHandler handler(context, sheet);
  ScanSheetXmlPart(archive, part, max_bytes, handler);
}

}  // namespace pelorin::workbook
