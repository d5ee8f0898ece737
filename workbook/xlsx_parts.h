// The package structure of an .xlsx file: relationships, the workbook part
// with its sheet list and active tab, and where each part lives.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/zip_archive.h"

namespace pelorin::workbook {

struct XlsxRelationship {
  std::string id;
  std::string type;    // the type URI's last segment ("worksheet", "sharedStrings")
  std::string target;  // resolved to a part name ("xl/worksheets/sheet1.xml")
};

struct XlsxSheetEntry {
  std::string name;
  std::string relationship_id;
};

struct XlsxWorkbookPart {
  std::vector<XlsxSheetEntry> sheets;
  int active_tab = 0;
  bool date1904 = false;
};

// A relationship target relative to the folder of `source_part`, or
// absolute when it starts with "/"; "." and ".." are resolved.
std::string ResolvePartName(std::string_view source_part, std::string_view target);

// The relationships of `source_part` ("" for the package's own), from its
// _rels part; none when that part is absent.
std::vector<XlsxRelationship> ReadRelationships(const ZipArchive& archive,
                                                std::string_view source_part,
                                                std::uint64_t max_bytes);

// The main workbook part's name: the package's officeDocument target, else
// "xl/workbook.xml".
std::string FindWorkbookPart(const ZipArchive& archive, std::uint64_t max_bytes);

XlsxWorkbookPart ReadWorkbookPart(const ZipArchive& archive, std::string_view part,
                                  std::uint64_t max_bytes);

}  // namespace pelorin::workbook
