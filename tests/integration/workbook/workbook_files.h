// The workbook files the reader tests share: written once per test run by
// the Python writers, converted by LibreOffice where it is installed, and
// removed at exit.
#pragma once

#include <string>
#include <vector>

#include "workbook/workbook.h"

namespace pelorin::workbook::testing {

// The folder holding make_workbooks.py's output, or "" when /usr/bin/python3
// with openpyxl and xlsxwriter is not there.
const std::string& WorkbookFiles();

// `file` (in WorkbookFiles()) converted by soffice to `format` ("ods",
// "xlsx", "xls"), or "" when soffice is missing or fails; as root, soffice
// runs as nobody. `infilter` is passed as
// soffice's --infilter when not empty.
std::string ConvertWithSoffice(const std::string& file, const std::string& format,
                               const std::string& infilter = "");

// Every sheet as "name" followed by its rows of cell texts joined by "|",
// up to its used range, and the active sheet's name last.
std::vector<std::string> Dump(const Workbook& workbook);

// A workbook file committed with the tests (files/NAME): made once by
// LibreOffice where the test cannot make it itself.
std::string CommittedFile(const std::string& name);

}  // namespace pelorin::workbook::testing
