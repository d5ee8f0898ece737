#include "workbook/xls_reader.h"

#include <freexl.h>

#include <algorithm>
#include <string_view>

#include "workbook/loaded_workbook.h"
#include "workbook/number_text.h"
#include "workbook/sheet_builder.h"
#include "workbook/xls_records.h"

namespace pelorin::workbook {
namespace {

// Closes the FreeXL handle however the read ends.
class FreeXlHandle {
 public:
  FreeXlHandle() = default;
  FreeXlHandle(const FreeXlHandle&) = delete;
  FreeXlHandle& operator=(const FreeXlHandle&) = delete;
  ~FreeXlHandle() {
    if (handle_ != nullptr) freexl_close(handle_);
  }
  const void** out() { return &handle_; }
  const void* get() const { return handle_; }

 private:
  const void* handle_ = nullptr;
};

std::string FreeXlProblem(int code) {
  switch (code) {
    case FREEXL_FILE_NOT_FOUND: return "cannot open the file";
    case FREEXL_INSUFFICIENT_MEMORY: return "not enough memory to read it";
    case FREEXL_CRAFTED_FILE: return "the file is damaged or crafted to harm";
    case FREEXL_INVALID_CHARACTER: return "a text is not valid in the workbook's code page";
    case FREEXL_UNSUPPORTED_CHARSET: return "the workbook's code page is not supported";
    default: return "the file is damaged (FreeXL error " + std::to_string(code) + ")";
  }
}

std::string LocateStream(const std::string& label, const CompoundFile& container) {
  try {
    for (const char* name : {"Workbook", "Book"}) {
      if (std::optional<std::string> stream = container.Read(name)) return *std::move(stream);
    }
  } catch (const CompoundFileError& error) {
    throw WorkbookError(label + ": the file is damaged: " + error.what());
  }
  throw WorkbookError(label + ": not a workbook: an Office file holding no spreadsheet");
}

std::uint64_t CellKey(std::uint32_t row, std::uint32_t column) {
  return std::uint64_t{row} << 16 | column;
}

// One sheet's cells from both sources, in row-major order: FreeXL's texts
// and the values the record scan found.
struct SheetCell {
  std::uint64_t key;
  std::string text;
};

class XlsBook {
 public:
  XlsBook(std::string label, std::string_view stream, const ReadOptions& options)
      : label_(std::move(label)), stream_(stream), options_(options) {
    try {
      globals_ = ScanXlsGlobals(stream);
      for (const XlsSheetEntry& entry : globals_.sheets) {
        if (globals_.encrypted) break;
        values_.push_back(entry.worksheet ? ScanXlsSheet(stream, globals_, entry)
                                          : XlsSheetValues{});
      }
    } catch (const XlsFormatError& error) {
      throw WorkbookError(label_ + ": the file is damaged: " + error.what());
    }
    if (globals_.encrypted) {
      throw WorkbookError(label_ +
                          ": a password-protected workbook, which cannot be read; save it "
                          "without a password");
    }
    if (globals_.sheets.empty()) throw WorkbookError(label_ + ": the workbook has no sheets");
    CheckGridCap();
  }

  std::unique_ptr<Workbook> Read(const std::string& path) {
    FreeXlHandle handle;
    int code = freexl_open(path.c_str(), handle.out());
    if (code != FREEXL_OK) throw WorkbookError(label_ + ": " + FreeXlProblem(code));
    const void* texts = handle.get();
    if (FreeXlGaveUp(texts)) {
      ScanTexts();
      texts = nullptr;
    } else {
      MapSheets(texts);
    }
    int count = static_cast<int>(globals_.sheets.size());
    if (options_.only_sheet && (*options_.only_sheet < 0 || *options_.only_sheet >= count)) {
      throw WorkbookError(label_ + ": no sheet " + std::to_string(*options_.only_sheet + 1) +
                          " (the workbook has " + std::to_string(count) + ")");
    }
    auto workbook = std::make_unique<LoadedWorkbook>(label_);
    for (int index = 0; index < count; ++index) {
      const std::string& name = globals_.sheets[index].name;
      if (options_.only_sheet && *options_.only_sheet != index) {
        workbook->AddSheet(SheetInfo{name}, nullptr);
        continue;
      }
      SheetBuilder builder(options_);
      builder.set_place(label_, name);
      ReadSheet(texts, index, builder);
      workbook->AddSheet(builder.info(name), builder.Take());
    }
    workbook->set_active_sheet(globals_.active_tab);
    return workbook;
  }

 private:
  // FreeXL gives up on some sound files, those with a long text going on in
  // CONTINUE records, without an error and without a sheet.
  bool FreeXlGaveUp(const void* handle) const {
    unsigned int count = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count);
    return count == 0 && globals_.biff_version == 8 && !globals_.sheets.empty();
  }

  // The text cells of the sheets to read, from the records themselves.
  void ScanTexts() {
    try {
      const std::vector<std::string> strings = ScanXlsSharedStrings(stream_);
      for (std::size_t index = 0; index < globals_.sheets.size(); ++index) {
        const XlsSheetEntry& entry = globals_.sheets[index];
        if (!entry.worksheet || (options_.only_sheet && *options_.only_sheet != static_cast<int>(index))) {
          continue;
        }
        values_[index] = ScanXlsSheet(stream_, globals_, entry, &strings);
      }
    } catch (const XlsFormatError& error) {
      throw WorkbookError(label_ + ": the file is damaged: " + error.what());
    }
  }

  void CheckGridCap() const {
    std::uint64_t grid = 0, cells = 0;
    for (const XlsSheetValues& values : values_) {
      grid += std::uint64_t{values.rows} * values.columns;
      cells += values.cell_records;
    }
    std::uint64_t cap = std::max(kXlsSparseGridCells, cells * kXlsGridCellsPerCell);
    if (grid > cap) {
      throw WorkbookError(label_ + ": the sheets declare " + std::to_string(grid) +
                          " cells (rows × columns) for the " + std::to_string(cells) +
                          " they hold; the file is damaged or hostile");
    }
  }

  // FreeXL lists every sheet, or (in some files) only the worksheets: find
  // its index for each of ours.
  void MapSheets(const void* handle) {
    unsigned int count = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count);
    freexl_index_.assign(globals_.sheets.size(), -1);
    int worksheets = 0;
    for (std::size_t i = 0; i < globals_.sheets.size(); ++i) {
      if (count == globals_.sheets.size()) {
        freexl_index_[i] = static_cast<int>(i);
      } else if (globals_.sheets[i].worksheet) {
        freexl_index_[i] = worksheets++;
      }
    }
    if (count != globals_.sheets.size() && static_cast<int>(count) != worksheets) {
      throw WorkbookError(label_ + ": the file is damaged: its sheet list does not add up");
    }
    // FreeXL's names are decoded by the workbook's code page, ours by
    // Latin-1 in older files: prefer FreeXL's.
    for (std::size_t i = 0; i < globals_.sheets.size(); ++i) {
      const char* name = nullptr;
      if (freexl_index_[i] >= 0 &&
          freexl_get_worksheet_name(handle, static_cast<unsigned short>(freexl_index_[i]),
                                    &name) == FREEXL_OK &&
          name != nullptr) {
        globals_.sheets[i].name = name;
      }
    }
  }

  // `handle` adds FreeXL's texts to the scanned cells; without it, the scan
  // holds them already.
  void ReadSheet(const void* handle, int index, SheetBuilder& builder) {
    if (!globals_.sheets[index].worksheet) return;
    if (handle != nullptr && freexl_index_[index] < 0) return;
    XlsSheetValues& values = values_[index];
    std::vector<SheetCell> cells;
    cells.reserve(values.cells.size());
    for (XlsValueCell& cell : values.cells) {
      cells.push_back({CellKey(cell.row, cell.column), std::move(cell.text)});
    }
    values.cells = {};
    std::stable_sort(cells.begin(), cells.end(),
                     [](const SheetCell& a, const SheetCell& b) { return a.key < b.key; });
    std::size_t scanned = cells.size();
    if (handle != nullptr) AddTexts(handle, freexl_index_[index], cells, scanned);
    std::stable_sort(cells.begin(), cells.end(),
                     [](const SheetCell& a, const SheetCell& b) { return a.key < b.key; });
    for (const SheetCell& cell : cells) {
      int column = static_cast<int>(cell.key & 0xFFFF) + 1;
      std::int64_t row = static_cast<std::int64_t>(cell.key >> 16) + 1;
      if (builder.Wants(column)) {
        builder.Put(column, row, cell.text);
      } else if (!cell.text.empty()) {
        builder.Note(column, row);
      }
    }
  }

  // FreeXL's text cells, and any value it found that the record scan (the
  // first `scanned` cells, sorted) did not.
  void AddTexts(const void* handle, int sheet, std::vector<SheetCell>& cells,
                std::size_t scanned) {
    if (freexl_select_active_worksheet(handle, static_cast<unsigned short>(sheet)) != FREEXL_OK) {
      throw WorkbookError(label_ + ": the file is damaged: sheet " + std::to_string(sheet + 1) +
                          " cannot be selected");
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) return;
    for (unsigned int row = 0; row < rows; ++row) {
      for (unsigned short column = 0; column < columns; ++column) {
        FreeXL_CellValue value;
        if (freexl_get_cell_value(handle, row, column, &value) != FREEXL_OK) continue;
        if (value.type == FREEXL_CELL_NULL) continue;
        std::uint64_t key = CellKey(row, column);
        if (value.type == FREEXL_CELL_TEXT || value.type == FREEXL_CELL_SST_TEXT) {
          if (value.value.text_value != nullptr) cells.push_back({key, value.value.text_value});
          continue;
        }
        // (cells grows as texts are added: its first `scanned` stay put.)
        auto scanned_end = cells.begin() + static_cast<std::ptrdiff_t>(scanned);
        auto found = std::lower_bound(cells.begin(), scanned_end, key,
                                      [](const SheetCell& a, std::uint64_t k) { return a.key < k; });
        if (found != scanned_end && found->key == key) continue;
        cells.push_back({key, FallbackText(value)});
      }
    }
  }

  static std::string FallbackText(const FreeXL_CellValue& value) {
    switch (value.type) {
      case FREEXL_CELL_INT: return std::to_string(value.value.int_value);
      case FREEXL_CELL_DOUBLE: return GeneralNumberText(value.value.double_value);
      default: return value.value.text_value != nullptr ? value.value.text_value : "";
    }
  }

  std::string label_;
  std::string_view stream_;
  const ReadOptions& options_;
  XlsGlobals globals_;
  std::vector<XlsSheetValues> values_;
  std::vector<int> freexl_index_;
};

}  // namespace

std::unique_ptr<Workbook> ReadXls(const std::string& path, const std::string& label,
                                  const CompoundFile& container, const ReadOptions& options) {
  std::string stream = LocateStream(label, container);
  XlsBook book(label, stream, options);
  return book.Read(path);
}

}  // namespace pelorin::workbook
