// OpenWorkbook: tells the kind of file by its first bytes, then by its
// extension, and hands it to the reader for that kind.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "workbook/compound_file.h"
#include "workbook/csv_reader.h"
#include "workbook/file_bytes.h"
#include "workbook/ods_reader.h"
#include "workbook/workbook.h"
#include "workbook/xls_reader.h"
#include "workbook/xlsx_reader.h"
#include "workbook/zip_archive.h"

namespace pelorin::workbook {
namespace {

std::string LowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

std::string FirstBytes(const std::string& path, const std::string& label) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    throw WorkbookError(label + ": cannot open: is a directory");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw WorkbookError(label + ": cannot open: " + std::strerror(errno));
  char bytes[8] = {};
  in.read(bytes, sizeof bytes);
  return std::string(bytes, static_cast<std::size_t>(in.gcount()));
}

bool IsSpreadsheetMimetype(const ZipArchive& archive) {
  if (!archive.Has("mimetype")) return false;
  return archive.Read("mimetype", 256).find("opendocument.spreadsheet") != std::string::npos;
}

std::unique_ptr<Workbook> OpenPackage(const std::string& path, const std::string& label,
                                      const std::string& extension, const ReadOptions& options) {
  std::optional<ZipArchive> archive;
  try {
    archive.emplace(ZipArchive::OpenFile(path, label));
  } catch (const WorkbookError&) {
    throw WorkbookError(label + ": the zip archive is damaged or truncated");
  }
  if (IsSpreadsheetMimetype(*archive) || (extension == ".ods" && archive->Has("content.xml"))) {
    return ReadOds(*archive, options);
  }
  if (archive->Has("xl/workbook.xml") || archive->Has("_rels/.rels")) {
    return ReadXlsx(*archive, options);
  }
  throw WorkbookError(label + ": not a workbook: a zip archive holding no spreadsheet");
}

// An Office container: an Excel 97-2003 workbook, or an .xlsx locked with a
// password (the encrypted package sits inside such a container).
std::unique_ptr<Workbook> OpenCompoundFile(const std::string& path, const std::string& label,
                                           const ReadOptions& options) {
  std::optional<CompoundFile> container;
  try {
    container.emplace(ReadFileBytes(path, label));
  } catch (const CompoundFileError& error) {
    throw WorkbookError(label + ": the file is damaged: " + error.what());
  }
  if (container->Has("EncryptedPackage") || container->Has("EncryptionInfo")) {
    throw WorkbookError(label +
                        ": a password-protected workbook, which cannot be read; save it without "
                        "a password");
  }
  return ReadXls(path, label, *container, options);
}

// Hands a sheet already read to a visitor, row by row.
void Replay(const Workbook& workbook, int index, CellVisitor& visitor) {
  const SheetInfo& info = workbook.sheets()[index];
  const Worksheet& sheet = workbook.sheet(index);
  std::vector<std::vector<std::string_view>> columns(info.used_columns);
  for (int column = 1; column <= info.used_columns; ++column) {
    sheet.ReadColumn(ColumnLetters(column), 1, info.used_rows, columns[column - 1]);
  }
  for (std::int64_t row = 1; row <= info.used_rows; ++row) {
    for (int column = 1; column <= info.used_columns; ++column) {
      std::string_view text = columns[column - 1][row - 1];
      if (!text.empty()) visitor.Cell(column, row, text);
    }
  }
}

bool IsZip(const std::string& magic) {
  return magic.rfind("PK\x03\x04", 0) == 0 || magic.rfind("PK\x05\x06", 0) == 0;
}

std::string LabelOf(const std::string& path) {
  std::string label = std::filesystem::path(path).filename().string();
  return label.empty() ? path : label;
}

SheetInfo ReadStreamed(const std::string& path, const std::string& label, CellVisitor& visitor,
                       const ReadOptions& options) {
  if (IsZip(FirstBytes(path, label))) {
    std::optional<ZipArchive> archive;
    try {
      archive.emplace(ZipArchive::OpenFile(path, label));
    } catch (const WorkbookError&) {
      throw WorkbookError(label + ": the zip archive is damaged or truncated");
    }
    bool ods = IsSpreadsheetMimetype(*archive) ||
               (LowerExtension(path) == ".ods" && archive->Has("content.xml"));
    if (ods) return StreamOdsSheet(*archive, options, visitor);
    if (archive->Has("xl/workbook.xml") || archive->Has("_rels/.rels")) {
      return StreamXlsxSheet(*archive, options, visitor);
    }
  }
  // The other kinds are small enough to be read whole first.
  std::unique_ptr<Workbook> workbook = OpenWorkbook(path, options);
  int index = options.only_sheet.value_or(workbook->active_sheet());
  Replay(*workbook, index, visitor);
  return workbook->sheets()[index];
}

std::unique_ptr<Workbook> ReadWhole(const std::string& path, const std::string& label,
                                    const ReadOptions& options) {
  std::string magic = FirstBytes(path, label);
  std::string extension = LowerExtension(path);
  if (IsZip(magic)) {
    return OpenPackage(path, label, extension, options);
  }
  if (CompoundFile::HasSignature(magic)) return OpenCompoundFile(path, label, options);
  if (extension == ".csv" || extension == ".txt") return ReadCsvFile(path, options);
  if (extension == ".xlsx" || extension == ".xlsm" || extension == ".ods") {
    throw WorkbookError(label + ": not a workbook: the file is not a zip archive");
  }
  if (extension == ".xls") {
    throw WorkbookError(label + ": not a workbook: the file is not an Excel 97-2003 workbook");
  }
  throw WorkbookError(label + ": not a workbook: expected an .xlsx, .xls, .ods or .csv file");
}

}  // namespace

SheetInfo StreamSheet(const std::string& path, CellVisitor& visitor, const ReadOptions& options) {
  const std::string label = LabelOf(path);
  return ReadStreamed(path, label, visitor, options);
}

std::unique_ptr<Workbook> OpenWorkbook(const std::string& path, const ReadOptions& options) {
  const std::string label = LabelOf(path);
  return ReadWhole(path, label, options);
}

}  // namespace pelorin::workbook
