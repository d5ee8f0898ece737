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
  Merge<false>(rows, empty_rows, out);
  return out;
}

std::size_t MessageMerge::AppendEncodedRecords(RowRange rows, std::int64_t& empty_rows,
                                               std::string& out) {
  return Merge<true>(rows, empty_rows, out);
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

template <bool kEncoded>
std::size_t MessageMerge::Merge(RowRange rows, std::int64_t& empty_rows, std::string& out) {
  if (rows.first > rows.last) return 0;
  // A refused address is rare and ends the run: reading cell by cell then
  // finds the exact row and leaves the empty-row count as that rule would.
  if (!ReadBlocks(rows)) return MergeCellByCell<kEncoded>(rows, empty_rows, out);

  const std::string_view separator = kEncoded ? encoded_separator_ : kFieldSeparator;
  const std::string_view terminator = kEncoded ? encoded_terminator_ : kRecordTerminator;
  std::size_t records = 0;
  for (std::size_t i = 0; i < mobile_cells_.size(); ++i) {
    std::string_view mobile = TrimSpaces(mobile_cells_[i]);
    if (mobile.empty()) {
      ++empty_rows;
      continue;
    }
    AppendText<kEncoded>(out, mobile);
    out.append(separator);
    for (const Piece& piece : pieces_) {
      if (piece.column < 0) {
        out.append(kEncoded ? piece.encoded : piece.text);
      } else {
        AppendText<kEncoded>(out, column_cells_[static_cast<std::size_t>(piece.column)][i]);
      }
    }
    out.append(terminator);
    ++records;
  }
  return records;
}

template <bool kEncoded>
std::size_t MessageMerge::MergeCellByCell(RowRange rows, std::int64_t& empty_rows,
                                          std::string& out) const {
  std::size_t records = 0;
  std::string record;
  const std::size_t kept = out.size();
  try {
    for (std::int64_t row = rows.first; row <= rows.last; ++row) {
      std::string mobile_cell = ReadCell(sheet_, mobile_column_, row);
      std::string_view mobile = TrimSpaces(mobile_cell);
      if (mobile.empty()) {
        ++empty_rows;
        continue;
      }
      record.clear();
      AppendText<kEncoded>(record, mobile);
      AppendText<kEncoded>(record, kFieldSeparator);
      for (const Piece& piece : pieces_) {
        if (piece.column < 0) {
          record.append(kEncoded ? piece.encoded : piece.text);
        } else {
          AppendText<kEncoded>(
              record, ReadCell(sheet_, columns_[static_cast<std::size_t>(piece.column)], row));
        }
      }
      AppendText<kEncoded>(record, kRecordTerminator);
      out.append(record);
      ++records;
    }
  } catch (...) {
    out.resize(kept);  // no half packet for a caller that goes on
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
