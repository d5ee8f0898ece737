#include "core/messaging/message_merge.h"

#include <algorithm>

#include "core/service/url_encode.h"
#include "core/text/replace.h"

namespace pelorin {
namespace {

// One cell by address; a refused address gets the row as context.
std::string ReadCell(const Worksheet& sheet, std::string_view column, std::int64_t row) {
  try {
    return sheet.CellText(column, row);
  } catch (const CellAddressError& error) {
    throw CellAddressError("row " + std::to_string(row) + ": " + error.what());
  }
}

template <bool kEncoded>
void AppendText(std::string& out, std::string_view text) {
  if constexpr (kEncoded) {
    AppendURLEncoded(out, text);
  } else {
    out.append(text);
  }
}

// Builds record text: number, separator, message, terminator; form-encoded
// when kEncoded.
template <bool kEncoded>
class RecordTextSink {
 public:
  RecordTextSink(std::string& out, std::string_view separator, std::string_view terminator)
      : out_(out), separator_(separator), terminator_(terminator) {}

  void Empty(std::int64_t) {}
  void Begin(std::int64_t, std::string_view mobile) {
    AppendText<kEncoded>(out_, mobile);
    out_.append(separator_);
  }
  void Literal(std::string_view text, std::string_view encoded) {
    out_.append(kEncoded ? encoded : text);
  }
  void Cell(std::string_view text) { AppendText<kEncoded>(out_, text); }
  void End() { out_.append(terminator_); }
  // A refused address leaves no half packet for a caller that goes on.
  std::size_t Mark() const { return out_.size(); }
  void Restore(std::size_t mark) { out_.resize(mark); }

 private:
  std::string& out_;
  std::string_view separator_;
  std::string_view terminator_;
};

// Hands every row to a visitor, the message built in a reused buffer.
class VisitorSink {
 public:
  explicit VisitorSink(MergedRowVisitor& visitor) : visitor_(visitor) {}

  void Empty(std::int64_t row) { visitor_.OnEmptyRow(row); }
  void Begin(std::int64_t row, std::string_view mobile) {
    row_ = row;
    mobile_ = mobile;
    message_.clear();
  }
  void Literal(std::string_view text, std::string_view) { message_.append(text); }
  void Cell(std::string_view text) { message_.append(text); }
  void End() { visitor_.OnMessage(row_, mobile_, message_); }
  std::size_t Mark() const { return 0; }
  void Restore(std::size_t) {}

 private:
  MergedRowVisitor& visitor_;
  std::int64_t row_ = 0;
  std::string_view mobile_;
  std::string message_;
};

}  // namespace

MessageMerge::MessageMerge(const Worksheet& sheet, std::string mobile_column,
                           const MessageTemplate& message)
    : sheet_(sheet),
      mobile_column_(std::move(mobile_column)),
      columns_(message.ReferencedColumns()),
      encoded_separator_(strURLEncode(kFieldSeparator)),
      encoded_terminator_(strURLEncode(kRecordTerminator)) {
  for (const TemplatePiece& piece : message.pieces()) {
    Piece merged;
    if (piece.is_column) {
      auto found = std::find(columns_.begin(), columns_.end(), piece.text);
      merged.column = static_cast<int>(found - columns_.begin());
    } else {
      merged.text = piece.text;
      AppendURLEncoded(merged.encoded, piece.text);
    }
    pieces_.push_back(std::move(merged));
  }
  column_cells_.resize(columns_.size());
}

std::string MessageMerge::MergeRecords(RowRange rows, std::int64_t& empty_rows) {
  std::string out;
  RecordTextSink<false> sink(out, kFieldSeparator, kRecordTerminator);
  Merge(rows, empty_rows, sink);
  return out;
}

std::size_t MessageMerge::AppendEncodedRecords(RowRange rows, std::int64_t& empty_rows,
                                               std::string& out) {
  RecordTextSink<true> sink(out, encoded_separator_, encoded_terminator_);
  return Merge(rows, empty_rows, sink);
}

void MessageMerge::VisitRows(RowRange rows, std::int64_t& empty_rows, MergedRowVisitor& visitor) {
  VisitorSink sink(visitor);
  Merge(rows, empty_rows, sink);
}

bool MessageMerge::Skipped(std::string_view mobile) {
  if (filter_ == nullptr || !filter_->Skips(mobile)) return false;
  ++skipped_rows_;
  return true;
}

bool MessageMerge::ReadBlocks(RowRange rows) {
  const auto expected = static_cast<std::size_t>(rows.last - rows.first + 1);
  try {
    mobile_cells_.clear();
    sheet_.ReadColumn(mobile_column_, rows.first, rows.last, mobile_cells_);
    if (mobile_cells_.size() != expected) return false;
    // Message columns are read only when some row has a number, as the
    // cell-by-cell rule reads them only for such rows.
    bool any_number = std::any_of(mobile_cells_.begin(), mobile_cells_.end(),
                                  [](std::string_view cell) { return !TrimSpaces(cell).empty(); });
    if (!any_number) return true;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
      column_cells_[c].clear();
      sheet_.ReadColumn(columns_[c], rows.first, rows.last, column_cells_[c]);
      if (column_cells_[c].size() != expected) return false;
    }
  } catch (const CellAddressError&) {
    return false;
  }
  return true;
}

template <typename Sink>
std::size_t MessageMerge::Merge(RowRange rows, std::int64_t& empty_rows, Sink& sink) {
  if (rows.first > rows.last) return 0;
  // A refused address is rare and ends the run: reading cell by cell then
  // finds the exact row and leaves the empty-row count as that rule would.
  if (!ReadBlocks(rows)) return MergeCellByCell(rows, empty_rows, sink);

  std::size_t records = 0;
  for (std::size_t i = 0; i < mobile_cells_.size(); ++i) {
    const std::int64_t row = rows.first + static_cast<std::int64_t>(i);
    std::string_view mobile = TrimSpaces(mobile_cells_[i]);
    if (mobile.empty()) {
      ++empty_rows;
      sink.Empty(row);
      continue;
    }
    if (Skipped(mobile)) continue;
    sink.Begin(row, mobile);
    for (const Piece& piece : pieces_) {
      if (piece.column < 0) {
        sink.Literal(piece.text, piece.encoded);
      } else {
        sink.Cell(column_cells_[static_cast<std::size_t>(piece.column)][i]);
      }
    }
    sink.End();
    ++records;
  }
  return records;
}

template <typename Sink>
std::size_t MessageMerge::MergeCellByCell(RowRange rows, std::int64_t& empty_rows, Sink& sink) {
  std::size_t records = 0;
  const std::size_t kept = sink.Mark();
  try {
    for (std::int64_t row = rows.first; row <= rows.last; ++row) {
      std::string mobile_cell = ReadCell(sheet_, mobile_column_, row);
      std::string_view mobile = TrimSpaces(mobile_cell);
      if (mobile.empty()) {
        ++empty_rows;
        sink.Empty(row);
        continue;
      }
      if (Skipped(mobile)) continue;
      // Every cell of the row is read before any of it is written, so a
      // refused address leaves no part of the row behind.
      cells_of_row_.clear();
      for (const Piece& piece : pieces_) {
        if (piece.column >= 0) {
          cells_of_row_.push_back(
              ReadCell(sheet_, columns_[static_cast<std::size_t>(piece.column)], row));
        }
      }
      sink.Begin(row, mobile);
      std::size_t next_cell = 0;
      for (const Piece& piece : pieces_) {
        if (piece.column < 0) {
          sink.Literal(piece.text, piece.encoded);
        } else {
          sink.Cell(cells_of_row_[next_cell++]);
        }
      }
      sink.End();
      ++records;
    }
  } catch (...) {
    sink.Restore(kept);
    throw;
  }
  return records;
}

}  // namespace pelorin

namespace pelorin {

std::string MergeRowMessage(const Worksheet& sheet, std::string_view message_template,
                            std::int64_t row) {
  std::string message;
  const MessageTemplate pieces(message_template);
  for (const TemplatePiece& piece : pieces.pieces()) {
    message += piece.is_column ? ReadCell(sheet, piece.text, row) : piece.text;
  }
  return message;
}

}  // namespace pelorin
