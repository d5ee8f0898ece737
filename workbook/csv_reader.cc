#include "workbook/csv_reader.h"

#include <filesystem>
#include <limits>

#include "workbook/cell_text_limit.h"
#include "workbook/mapped_file.h"
#include "workbook/loaded_workbook.h"
#include "workbook/sheet_builder.h"

namespace pelorin::workbook {
namespace {

// Walks the text once; quoted fields are unescaped into a scratch buffer,
// plain ones are handed on as views of the input.
class CsvParser {
 public:
  CsvParser(std::string_view text, const std::string& label, SheetBuilder& sheet)
      : text_(text), label_(label), sheet_(sheet) {}

  void Run() {
    while (pos_ < text_.size()) {
      std::string_view field = text_[pos_] == '"' ? QuotedField() : PlainField();
      sheet_.Put(column_, row_, field);
      if (pos_ >= text_.size()) break;
      if (text_[pos_] == ',') {
        ++pos_;
        if (column_ <= kMaxColumns) ++column_;
      } else {
        EndOfLine();
        ++row_;
        column_ = 1;
      }
    }
  }

 private:
  static bool IsBreak(char c) { return c == '\n' || c == '\r'; }

  // Stops past a cell's limit: the field is refused without the rest of a
  // giant line being read.
  std::string_view PlainField() {
    std::size_t start = pos_;
    std::size_t stop = std::min(text_.size(), pos_ + kMaxCellTextBytes);
    while (pos_ < stop && text_[pos_] != ',' && !IsBreak(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  std::string_view QuotedField() {
    std::int64_t opened_on = line_;
    ++pos_;
    scratch_.clear();
    for (;;) {
      // Looked for no further than a cell's limit: a quote left open at the
      // start of a giant file must not make the whole of it read.
      std::size_t window = kMaxCellTextBytes - scratch_.size() + 1;
      std::size_t quote = text_.substr(0, pos_ + window).find('"', pos_);
      if (quote == std::string_view::npos) {
        if (pos_ + window >= text_.size()) {
          throw WorkbookError(label_ + ": line " + std::to_string(opened_on) +
                              ": unterminated quote");
        }
        AppendCellText(scratch_, text_.substr(pos_, window));
        return scratch_;  // over the limit: refused by the sheet
      }
      CountLines(pos_, quote);
      AppendCellText(scratch_, text_.substr(pos_, quote - pos_));
      pos_ = quote + 1;
      if (pos_ < text_.size() && text_[pos_] == '"') {
        scratch_ += '"';
        ++pos_;
        continue;
      }
      break;
    }
    // Text after the closing quote is kept as written, as spreadsheets do.
    std::string_view tail = PlainField();
    AppendCellText(scratch_, tail);
    return scratch_;
  }

  void CountLines(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 >= to || text_[i + 1] != '\n'))) {
        ++line_;
      }
    }
  }

  void EndOfLine() {
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
  }

  std::string_view text_;
  const std::string& label_;
  SheetBuilder& sheet_;
  std::string scratch_;
  std::size_t pos_ = 0;
  std::int64_t line_ = 1;
  std::int64_t row_ = 1;
  int column_ = 1;
};

std::string_view WithoutByteOrderMark(std::string_view bytes, const std::string& label) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return bytes.substr(3);
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    throw WorkbookError(label + ": UTF-16 text is not supported; save the file as CSV UTF-8");
  }
  return bytes;
}

}  // namespace

std::unique_ptr<Workbook> ReadCsv(std::string_view bytes, const std::string& sheet_name,
                                  const std::string& label, const ReadOptions& options) {
  // A text file has no row limit of its own.
  if (options.only_sheet && *options.only_sheet != 0) {
    throw WorkbookError(label + ": no sheet " + std::to_string(*options.only_sheet + 1) +
                        " (the workbook has 1)");
  }
  SheetBuilder builder(options, std::numeric_limits<std::int64_t>::max());
  builder.set_place(label, sheet_name);
  CsvParser(WithoutByteOrderMark(bytes, label), label, builder).Run();
  auto workbook = std::make_unique<LoadedWorkbook>(label);
  workbook->AddSheet(builder.info(sheet_name), builder.Take());
  return workbook;
}

std::unique_ptr<Workbook> ReadCsvFile(const std::string& path, const ReadOptions& options) {
  std::string label = std::filesystem::path(path).filename().string();
  // Mapped, not read: only the pages the reader reaches are loaded, so a
  // giant file with an overlong first cell costs next to nothing.
  MappedFile file(path, label);
  return ReadCsv(file.bytes(), std::filesystem::path(path).stem().string(), label, options);
}

}  // namespace pelorin::workbook
