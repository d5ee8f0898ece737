// Turns worksheet rows into upload records: the trimmed mobile number, "|*^",
// the row's merged message, "~?*", for every row that has a mobile number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/worksheet.h"
#include "core/messaging/message_template.h"
#include "core/messaging/send_request.h"

namespace pelorin {

inline constexpr std::string_view kFieldSeparator = "|*^";
inline constexpr std::string_view kRecordTerminator = "~?*";

// Rows a send leaves out although they hold a number (an exclusion list).
class RowFilter {
 public:
  virtual ~RowFilter() = default;
  // `mobile` is the row's number as the record would carry it (trimmed).
  virtual bool Skips(std::string_view mobile) const = 0;
};

// Told of every row the merge reads, instead of building record text: what
// a check before the send looks at.
class MergedRowVisitor {
 public:
  virtual ~MergedRowVisitor() = default;
  virtual void OnMessage(std::int64_t row, std::string_view mobile, std::string_view message) = 0;
  virtual void OnEmptyRow(std::int64_t row) = 0;
};

class MessageMerge {
 public:
  MessageMerge(const Worksheet& sheet, std::string mobile_column, const MessageTemplate& message);

  // The record text of rows.first..rows.last (empty when no row has a mobile
  // number); adds one to `empty_rows` per row whose mobile cell is empty or
  // only spaces. Throws CellAddressError ("row 17: ...") for an address the
  // worksheet refuses, at the row where reading cell by cell would meet it,
  // with `empty_rows` counted up to that row.
  std::string MergeRecords(RowRange rows, std::int64_t& empty_rows);

  // The same records appended to `out` already form-encoded (what
  // strURLEncode makes of the record text); answers how many records.
  std::size_t AppendEncodedRecords(RowRange rows, std::int64_t& empty_rows, std::string& out);

  // Reads rows.first..rows.last exactly as the two above do and hands each
  // row to `visitor`: its number and message, or that it is empty. Throws
  // as MergeRecords does.
  void VisitRows(RowRange rows, std::int64_t& empty_rows, MergedRowVisitor& visitor);

  // Rows whose number `filter` names give no record and are counted in
  // skipped_rows(), not as empty. Null (the default) skips nothing.
  void set_row_filter(const RowFilter* filter) { filter_ = filter; }
  std::int64_t skipped_rows() const { return skipped_rows_; }

 private:
  struct Piece {
    std::string text;     // literal text as written
    std::string encoded;  // the same, form-encoded once for every row
    int column = -1;      // index into columns_, or -1 for a literal
  };

  // The one merge; `Sink` builds record text or tells a visitor.
  template <typename Sink>
  std::size_t Merge(RowRange rows, std::int64_t& empty_rows, Sink& sink);
  template <typename Sink>
  std::size_t MergeCellByCell(RowRange rows, std::int64_t& empty_rows, Sink& sink);
  bool Skipped(std::string_view mobile);
  // Reads the packet's columns in bulk; false when some address was refused.
  bool ReadBlocks(RowRange rows);

  const Worksheet& sheet_;
  std::string mobile_column_;
  std::vector<Piece> pieces_;
  std::vector<std::string> columns_;  // the referenced columns, each once
  std::string encoded_separator_;
  std::string encoded_terminator_;
  // Reused from packet to packet: the mobile column's cells, then one block
  // of cells per referenced column.
  std::vector<std::string_view> mobile_cells_;
  std::vector<std::vector<std::string_view>> column_cells_;
  std::vector<std::string> cells_of_row_;  // the cell-by-cell path's reads
  const RowFilter* filter_ = nullptr;
  std::int64_t skipped_rows_ = 0;
};

}  // namespace pelorin

namespace pelorin {

// The message of one row as the merge builds it (references replaced by the
// row's cell texts, literal pieces copied), read cell by cell: what the
// preview lists. Throws CellAddressError for a refused address.
std::string MergeRowMessage(const Worksheet& sheet, std::string_view message_template,
                            std::int64_t row);

}  // namespace pelorin
