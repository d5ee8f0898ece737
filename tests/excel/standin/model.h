// The stand-in Excel's object model: Application, the command bars with
// their controls and Click connection points, a worksheet of typed cells and
// its ranges. Every object answers IDispatch from the type library embedded
// in the program, so calls are checked against the members' declared
// parameters, as Excel's own type information checks them.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/excel/standin/StandinExcel_h.h"
#include "tests/excel/standin/cell_address.h"

namespace standin {

// Every event of the model, in order, for the transcript.
void Note(const std::wstring& line);
void SetNoteListener(std::function<void(const std::wstring&)> listener);

// A cell as Excel keeps it: the VARIANT type Range.Value answers with.
struct Cell {
  VARTYPE type = VT_EMPTY;  // VT_R8, VT_BSTR, VT_BOOL, VT_DATE, VT_ERROR, VT_CY
  double number = 0;        // numbers, dates (serial), booleans (0/1), error numbers
  std::wstring text;
};

struct SheetCounters {
  long range_calls = 0;  // Range(...) property gets
  long value_calls = 0;  // Range.Value gets
  long cells_read = 0;
};

class SheetData {
 public:
  void Put(long row, long column, Cell cell) { cells_[{row, column}] = std::move(cell); }
  const Cell* Find(long row, long column) const;
  SheetCounters& counters() { return counters_; }
  std::wstring& selection() { return selection_; }
  std::wstring name = L"Sheet1";
  // The FullName of the workbook the sheet is in: the file it was loaded
  // from, or Excel's name for a workbook never saved.
  std::wstring workbook_full_name = L"Book1";

 private:
  std::map<std::pair<long, long>, Cell> cells_;
  SheetCounters counters_;
  std::wstring selection_;
};

class ButtonObject;
class PopupObject;

// A control on a bar or popup, as the test script looks at it.
struct ControlState {
  long type = 0;
  std::wstring caption;
  std::wstring tooltip;
  bool enabled = true;
  bool visible = true;
  bool temporary = false;
  bool deleted = false;
};

class ControlsObject;

// The objects the script reaches into; all are COM objects with one
// reference held by the model.
class ApplicationModel {
 public:
  // `excel` false makes an application that is not Excel's.
  ApplicationModel(HWND main_window, bool excel);
  ~ApplicationModel();

  IDispatch* application() const { return application_; }
  SheetData& sheet() { return *sheet_; }
  // The top-level controls of "Worksheet Menu Bar" and, for popups, theirs.
  ControlsObject& menu_bar_controls();
  // How many references others hold to the application object.
  ULONG ForeignReferences() const;

 private:
  IDispatch* application_ = nullptr;
  std::shared_ptr<SheetData> sheet_;
  ControlsObject* menu_bar_controls_ = nullptr;
};

class ControlObjectBase;

class ControlsObject {
 public:
  virtual ~ControlsObject() = default;
  virtual std::vector<ControlObjectBase*> Live() const = 0;
};

class ControlObjectBase {
 public:
  virtual ~ControlObjectBase() = default;
  virtual ControlState& state() = 0;
  // The popup's own controls; null for a button.
  virtual ControlsObject* children() = 0;
  // Fires Click to every advised sink; answers how many there were.
  virtual int FireClick() = 0;
};

// Loads cells from a text file: one cell a line, "B2 n 919876543210",
// "B3 s Ravi Kumar", "B4 b TRUE", "B5 d 45000.5", "B6 e 2042", "B7 c 12.5";
// "B2:B10001 s 98{row}" fills a block, {row} standing for the row number.
// Throws std::runtime_error naming the line.
void LoadCells(const std::wstring& path, SheetData& sheet);

}  // namespace standin
