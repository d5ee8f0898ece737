// Which cell styles of an .xlsx file show numbers as dates or times: the
// cellXfs list of styles.xml mapped through built-in and custom formats.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "workbook/number_text.h"
#include "workbook/zip_archive.h"

namespace pelorin::workbook {

class XlsxStyles {
 public:
  explicit XlsxStyles(std::vector<DateKind> kinds = {}) : kinds_(std::move(kinds)) {}
  // The date kind of the style at index `s` of a cell; kNone when unknown.
  DateKind kind(std::uint64_t style) const {
    return style < kinds_.size() ? kinds_[style] : DateKind::kNone;
  }

 private:
  std::vector<DateKind> kinds_;
};

XlsxStyles ReadStyles(const ZipArchive& archive, std::string_view part, std::uint64_t max_bytes);

}  // namespace pelorin::workbook
