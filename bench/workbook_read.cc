// workbook_read: reads a workbook and writes every cell text of its active
// sheet to stdout, tab-separated, for timing and inspection. By default the
// sheet is streamed (StreamSheet) and nothing is kept; --store reads it into
// the column store first (OpenWorkbook), --all does so for every sheet.
// Streamed rows end at their last cell; stored rows are padded to the
// sheet's used columns.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/workbook.h"

namespace {

// Collects output lines and writes them in large blocks.
class Output {
 public:
  explicit Output(std::FILE* out) : out_(out) { buffer_.reserve(kBlock + 4096); }
  ~Output() { Flush(); }
  std::string& text() { return buffer_; }
  void MaybeFlush() {
    if (buffer_.size() >= kBlock) Flush();
  }
  void Flush() {
    std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kBlock = 256 * 1024;
  std::FILE* out_;
  std::string buffer_;
};

// Writes cells as they arrive: a line per row, a tab per column step.
class RowWriter : public pelorin::workbook::CellVisitor {
 public:
  explicit RowWriter(Output& output) : output_(output) {}
  void Cell(int column, std::int64_t row, std::string_view text) override {
    std::string& out = output_.text();
    if (row != row_) {
      if (row_ != 0) out += '\n';
      for (std::int64_t r = row_ + 1; r < row; ++r) out += '\n';  // empty rows in between
      row_ = row;
      column_ = 1;
      output_.MaybeFlush();
    }
    for (; column_ < column; ++column_) out += '\t';
    out += text;
  }
  void Finish() {
    if (row_ != 0) output_.text() += '\n';
  }

 private:
  Output& output_;
  std::int64_t row_ = 0;
  int column_ = 1;
};

// Bulk reads in slabs of rows, so the views handed out stay few.
void WriteStoredSheet(const pelorin::workbook::Workbook& workbook, int index, Output& output) {
  constexpr std::int64_t kSlab = 4096;
  const auto& info = workbook.sheets()[index];
  const pelorin::Worksheet& sheet = workbook.sheet(index);
  std::vector<std::string> letters;
  for (int column = 1; column <= info.used_columns; ++column) {
    letters.push_back(pelorin::workbook::ColumnLetters(column));
  }
  std::vector<std::vector<std::string_view>> columns(info.used_columns);
  for (std::int64_t first = 1; first <= info.used_rows; first += kSlab) {
    std::int64_t last = std::min(info.used_rows, first + kSlab - 1);
    for (int column = 0; column < info.used_columns; ++column) {
      columns[column].clear();
      sheet.ReadColumn(letters[column], first, last, columns[column]);
    }
    for (std::int64_t row = 0; row <= last - first; ++row) {
      std::string& line = output.text();
      for (int column = 0; column < info.used_columns; ++column) {
        if (column > 0) line += '\t';
        line += columns[column][row];
      }
      line += '\n';
      output.MaybeFlush();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: workbook_read FILE [--store | --all]\n");
    return 2;
  }
  std::string_view mode = argc > 2 ? argv[2] : "";
  try {
    Output output(stdout);
    if (mode.empty()) {
      RowWriter writer(output);
      pelorin::workbook::StreamSheet(argv[1], writer);
      writer.Finish();
      return 0;
    }
    bool all = mode == "--all";
    auto workbook = pelorin::workbook::OpenWorkbook(argv[1]);
    int count = static_cast<int>(workbook->sheets().size());
    for (int index = 0; index < count; ++index) {
      if (!all && index != workbook->active_sheet()) continue;
      if (all) output.text() += "== " + workbook->sheets()[index].name + "\n";
      WriteStoredSheet(*workbook, index, output);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "workbook_read: %s\n", error.what());
    return 1;
  }
  return 0;
}
