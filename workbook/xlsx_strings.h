// The shared-string table of an .xlsx file, kept as one byte buffer with
// offsets, and the decoding of the _xHHHH_ escapes its texts may carry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/cell_text_limit.h"
#include "workbook/xml_stream.h"

namespace pelorin::workbook {

class XlsxSharedStrings {
 public:
  // Empty for an index past the end (a damaged file), as a spreadsheet would
  // show nothing there. A text over a cell's limit is not kept: it reads as
  // a stand-in just over the limit, so the cell using it is refused.
  std::string_view at(std::uint64_t index) const;
  void Append(std::string_view text);
  std::size_t size() const { return ends_.size(); }
  // Reading stops at the first overlong text: indexes past it are unknown.
  void StopAfterOverlong() { complete_ = false; }
  bool Known(std::uint64_t index) const { return complete_ || index < ends_.size(); }

 private:
  std::string bytes_;
  std::vector<std::uint64_t> ends_;
  std::vector<std::uint64_t> overlong_;  // indexes, in increasing order
  bool complete_ = true;
};

XlsxSharedStrings ReadSharedStrings(const ZipArchive& archive, std::string_view part,
                                    std::uint64_t max_bytes);

// "_x000D_" stands for a carriage return, "_x005F_" for an underscore.
std::string DecodeXmlEscapes(std::string_view text);

// Collects the text of a string item (<si> or <is>): every <t>, plain or in
// rich-text runs, but not phonetic guides (<rPh>).
class StringItemCollector {
 public:
  void Start(std::string_view name);
  void End(std::string_view name);
  // Stops keeping text once it is certainly too long for a cell.
  void Text(std::string_view text) {
    if (in_text_ && phonetic_depth_ == 0) AppendCellText(text_, text);
  }
  void Clear() { text_.clear(); }
  // The text collected is certainly too long for a cell.
  bool full() const { return text_.size() >= kMaxCellTextBytes; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
  bool in_text_ = false;
  int phonetic_depth_ = 0;
};

}  // namespace pelorin::workbook
