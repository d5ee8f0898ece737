#include "tests/excel/standin/model.h"

#include <olectl.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace standin {
namespace {

// What Excel answers when a member refuses its arguments.
constexpr HRESULT kExcelRefused = static_cast<HRESULT>(0x800A03EC);
constexpr LCID kEnglish = 0x0409;

std::function<void(const std::wstring&)>& Listener() {
  static std::function<void(const std::wstring&)> listener;
  return listener;
}

ITypeLib* Library() {
  static ITypeLib* library = [] {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    ITypeLib* loaded = nullptr;
    if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, &loaded))) loaded = nullptr;
    return loaded;
  }();
  return library;
}

ITypeInfo* TypeInfoOf(REFGUID iid) {
  ITypeInfo* info = nullptr;
  if (Library() == nullptr || FAILED(Library()->GetTypeInfoOfGuid(iid, &info))) return nullptr;
  return info;
}

HRESULT Refuse(const std::wstring& description) {
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    create->SetSource(const_cast<LPOLESTR>(L"Microsoft Excel"));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    create->Release();
  }
  Note(L"refused: " + description);
  return kExcelRefused;
}

bool IsMissing(const VARIANT& value) {
  return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND;
}

const VARIANT& Deref(const VARIANT& value) {
  if (value.vt == (VT_VARIANT | VT_BYREF) && value.pvarVal != nullptr) return *value.pvarVal;
  return value;
}

bool ToLong(const VARIANT& value, long& number) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&Deref(value)), 0, VT_I4))) return false;
  number = converted.lVal;
  return true;
}

bool ToBool(const VARIANT& value, bool& flag) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&Deref(value)), 0, VT_BOOL))) return false;
  flag = converted.boolVal != VARIANT_FALSE;
  return true;
}

BSTR Copy(const std::wstring& text) { return SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

std::wstring ColumnLetters(long column) {
  std::wstring letters;
  while (column > 0) {
    long digit = (column - 1) % 26;
    letters.insert(letters.begin(), static_cast<wchar_t>(L'A' + digit));
    column = (column - 1) / 26;
  }
  return letters;
}

template <typename Interface>
class Dual : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, iid_) ||
        Answers(iid)) {
      *object = static_cast<Interface*>(this);
    } else {
      *object = Other(iid);
    }
    if (*object == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = info_ != nullptr ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (index != 0 || info_ == nullptr) return DISP_E_BADINDEX;
    info_->AddRef();
    *info = info_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (info_ == nullptr) return E_UNEXPECTED;
    return DispGetIDsOfNames(info_, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO* exception, UINT* bad_argument) override {
    if (info_ == nullptr) return E_UNEXPECTED;
    return DispInvoke(static_cast<Interface*>(this), info_, id, flags, parameters, result, exception,
                      bad_argument);
  }

  ULONG references() const { return references_; }

 protected:
  explicit Dual(REFIID iid) : iid_(iid), info_(TypeInfoOf(iid)) {}
  virtual ~Dual() {
    if (info_ != nullptr) info_->Release();
  }
  virtual bool Answers(REFIID) { return false; }
  virtual void* Other(REFIID) { return nullptr; }

 private:
  std::atomic<ULONG> references_{1};
  IID iid_;
  ITypeInfo* info_;
};

HRESULT GiveObject(IDispatch* object, IDispatch** out) {
  if (out == nullptr) return E_POINTER;
  object->AddRef();
  *out = object;
  return S_OK;
}

VARIANT CellVariant(const Cell* cell) {
  VARIANT value;
  VariantInit(&value);
  if (cell == nullptr) return value;
  switch (cell->type) {
    case VT_R8:
      value.vt = VT_R8;
      value.dblVal = cell->number;
      break;
    case VT_DATE:
      value.vt = VT_DATE;
      value.date = cell->number;
      break;
    case VT_BOOL:
      value.vt = VT_BOOL;
      value.boolVal = cell->number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_ERROR:
      value.vt = VT_ERROR;
      value.scode = static_cast<SCODE>(0x800A0000u + static_cast<unsigned long>(cell->number));
      break;
    case VT_CY:
      value.vt = VT_CY;
      VarCyFromR8(cell->number, &value.cyVal);
      break;
    case VT_BSTR:
      value.vt = VT_BSTR;
      value.bstrVal = Copy(cell->text);
      break;
    default:
      break;
  }
  return value;
}

// ---- Ranges and the worksheet ---------------------------------------------

class RangeObject : public Dual<Range> {
 public:
  RangeObject(std::shared_ptr<SheetData> sheet, Block block, bool all_columns)
      : Dual(IID_Range), sheet_(std::move(sheet)), block_(block), all_columns_(all_columns) {}

  HRESULT STDMETHODCALLTYPE get__Default(VARIANT row_index, VARIANT column_index, VARIANT* value) override {
    if (IsMissing(row_index) && IsMissing(column_index)) return get_Value(row_index, value);
    const VARIANT& row = Deref(row_index);
    if (all_columns_ && row.vt == VT_BSTR && IsMissing(column_index)) {
      auto block = ParseReference(row.bstrVal);
      if (!block || block->first_row != 1 || block->last_row != kMaxRows) {
        return Refuse(L"Unable to get the _Default property of the Range class");
      }
      value->vt = VT_DISPATCH;
      value->pdispVal = new RangeObject(sheet_, *block, false);
      return S_OK;
    }
    long r = 0, c = 1;
    if (!ToLong(row, r) || (!IsMissing(column_index) && !ToLong(column_index, c)) || r < 1 || c < 1) {
      return Refuse(L"Unable to get the _Default property of the Range class");
    }
    Block cell{block_.first_row + r - 1, block_.first_column + c - 1, block_.first_row + r - 1,
               block_.first_column + c - 1};
    value->vt = VT_DISPATCH;
    value->pdispVal = new RangeObject(sheet_, cell, false);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_Value(VARIANT data_type, VARIANT* value) override {
    if (!IsMissing(data_type)) {
      long type = 0;
      if (!ToLong(data_type, type) || type != 10) return Refuse(L"Unable to get the Value property of the Range class");
    }
    if (all_columns_) return Refuse(L"Unable to get the Value property of the Range class");
    sheet_->counters().value_calls++;
    long rows = block_.rows(), columns = block_.columns();
    if (rows == 1 && columns == 1) {
      sheet_->counters().cells_read++;
      *value = CellVariant(sheet_->Find(block_.first_row, block_.first_column));
      return S_OK;
    }
    if (static_cast<double>(rows) * columns > 4'000'000) return E_OUTOFMEMORY;
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 1}, {static_cast<ULONG>(columns), 1}};
    SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (array == nullptr) return E_OUTOFMEMORY;
    for (long r = 0; r < rows; ++r) {
      for (long c = 0; c < columns; ++c) {
        LONG indices[2] = {r + 1, c + 1};
        VARIANT cell = CellVariant(sheet_->Find(block_.first_row + r, block_.first_column + c));
        SafeArrayPutElement(array, indices, &cell);
        VariantClear(&cell);
      }
    }
    sheet_->counters().cells_read += rows * columns;
    value->vt = VT_ARRAY | VT_VARIANT;
    value->parray = array;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_Address(BSTR* address) override {
    *address = Copy(AddressText());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Count(long* count) override {
    *count = block_.rows() * block_.columns();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Select(VARIANT* result) override {
    if (all_columns_) return Refuse(L"Select method of Range class failed");
    sheet_->selection() = AddressText();
    Note(L"select " + AddressText());
    if (result != nullptr) {
      VariantInit(result);
      result->vt = VT_BOOL;
      result->boolVal = VARIANT_TRUE;
    }
    return S_OK;
  }

 private:
  std::wstring AddressText() const {
    if (block_.first_row == 1 && block_.last_row == kMaxRows) {
      return L"$" + ColumnLetters(block_.first_column) + L":$" + ColumnLetters(block_.last_column);
    }
    std::wstring first = L"$" + ColumnLetters(block_.first_column) + L"$" + std::to_wstring(block_.first_row);
    if (block_.rows() == 1 && block_.columns() == 1) return first;
    return first + L":$" + ColumnLetters(block_.last_column) + L"$" + std::to_wstring(block_.last_row);
  }

  std::shared_ptr<SheetData> sheet_;
  Block block_;
  bool all_columns_;
};

HRESULT RangeOf(const std::shared_ptr<SheetData>& sheet, VARIANT cell1, VARIANT cell2, IDispatch** range) {
  sheet->counters().range_calls++;
  const VARIANT& first = Deref(cell1);
  if (first.vt != VT_BSTR) return Refuse(L"Method 'Range' of object '_Worksheet' failed");
  auto block = ParseReference(first.bstrVal);
  if (!block) return Refuse(L"Method 'Range' of object '_Worksheet' failed");
  if (!IsMissing(cell2)) {
    const VARIANT& second = Deref(cell2);
    if (second.vt != VT_BSTR) return Refuse(L"Method 'Range' of object '_Worksheet' failed");
    auto other = ParseReference(second.bstrVal);
    if (!other) return Refuse(L"Method 'Range' of object '_Worksheet' failed");
    block->first_row = std::min(block->first_row, other->first_row);
    block->first_column = std::min(block->first_column, other->first_column);
    block->last_row = std::max(block->last_row, other->last_row);
    block->last_column = std::max(block->last_column, other->last_column);
  }
  *range = new RangeObject(sheet, *block, false);
  return S_OK;
}

class WorksheetObject : public Dual<_Worksheet> {
 public:
  explicit WorksheetObject(std::shared_ptr<SheetData> sheet) : Dual(IID__Worksheet), sheet_(std::move(sheet)) {}

  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    *name = Copy(sheet_->name);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Range(VARIANT cell1, VARIANT cell2, IDispatch** range) override {
    return RangeOf(sheet_, cell1, cell2, range);
  }
  HRESULT STDMETHODCALLTYPE get_Columns(IDispatch** columns) override {
    *columns = new RangeObject(sheet_, {1, 1, kMaxRows, kMaxColumns}, true);
    return S_OK;
  }

 private:
  std::shared_ptr<SheetData> sheet_;
};

class WorkbookObject : public Dual<_Workbook> {
 public:
  explicit WorkbookObject(std::shared_ptr<SheetData> sheet) : Dual(IID__Workbook), sheet_(std::move(sheet)) {}

  HRESULT STDMETHODCALLTYPE get_FullName(BSTR* name) override {
    *name = Copy(sheet_->workbook_full_name);
    return S_OK;
  }

 private:
  std::shared_ptr<SheetData> sheet_;
};

// ---- Command bars -----------------------------------------------------------

class ControlsImpl;

template <typename Interface>
class ControlImpl : public Dual<Interface>, public ControlObjectBase {
 public:
  ControlState& state() override { return state_; }

  HRESULT STDMETHODCALLTYPE get_Caption(BSTR* caption) override {
    if (state_.deleted) return Gone();
    *caption = Copy(state_.caption);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR caption) override {
    if (state_.deleted) return Gone();
    state_.caption = caption != nullptr ? caption : L"";
    Note(L"caption " + state_.caption);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Delete(VARIANT temporary) override;
  HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* enabled) override {
    if (state_.deleted) return Gone();
    *enabled = state_.enabled ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL enabled) override {
    if (state_.deleted) return Gone();
    state_.enabled = enabled != VARIANT_FALSE;
    Note(L"enabled " + state_.caption + (state_.enabled ? L" true" : L" false"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) override {
    if (state_.deleted) return Gone();
    *tag = Copy(tag_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Tag(BSTR tag) override {
    if (state_.deleted) return Gone();
    tag_ = tag != nullptr ? tag : L"";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_TooltipText(BSTR* text) override {
    if (state_.deleted) return Gone();
    *text = Copy(state_.tooltip);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_TooltipText(BSTR text) override {
    if (state_.deleted) return Gone();
    state_.tooltip = text != nullptr ? text : L"";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Type(long* type) override {
    if (state_.deleted) return Gone();
    *type = state_.type;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* visible) override {
    if (state_.deleted) return Gone();
    *visible = state_.visible ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL visible) override {
    if (state_.deleted) return Gone();
    state_.visible = visible != VARIANT_FALSE;
    Note(L"visible " + state_.caption + (state_.visible ? L" true" : L" false"));
    return S_OK;
  }

  ControlsImpl* parent = nullptr;

 protected:
  ControlImpl(REFIID iid, long type, bool temporary) : Dual<Interface>(iid) {
    state_.type = type;
    state_.temporary = temporary;
  }
  bool Answers(REFIID iid) override { return IsEqualIID(iid, IID_CommandBarControl); }
  static HRESULT Gone() { return Refuse(L"The command bar control has been deleted"); }

  ControlState state_;
  std::wstring tag_;
};

class ControlsImpl : public Dual<CommandBarControls>, public ControlsObject {
 public:
  ControlsImpl() : Dual(IID_CommandBarControls) {}

  HRESULT STDMETHODCALLTYPE Add(VARIANT type, VARIANT id, VARIANT parameter, VARIANT before, VARIANT temporary,
                                IDispatch** control) override;
  HRESULT STDMETHODCALLTYPE get_Count(int* count) override {
    *count = static_cast<int>(controls_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IDispatch** control) override {
    long i = 0;
    if (!ToLong(index, i) || i < 1 || i > static_cast<long>(controls_.size())) {
      return Refuse(L"Invalid procedure call or argument");
    }
    return GiveObject(controls_[i - 1].first, control);
  }
  std::vector<ControlObjectBase*> Live() const override {
    std::vector<ControlObjectBase*> live;
    for (auto& [dispatch, control] : controls_) live.push_back(control);
    return live;
  }
  void Remove(ControlObjectBase* control) {
    for (auto it = controls_.begin(); it != controls_.end(); ++it) {
      if (it->second == control) {
        IDispatch* dispatch = it->first;
        controls_.erase(it);
        dispatch->Release();
        return;
      }
    }
  }

 private:
  ~ControlsImpl() override {
    for (auto& [dispatch, control] : controls_) dispatch->Release();
  }

  std::vector<std::pair<IDispatch*, ControlObjectBase*>> controls_;
};

template <typename Interface>
HRESULT ControlImpl<Interface>::Delete(VARIANT temporary) {
  if (state_.deleted) return Gone();
  if (!IsMissing(temporary)) {
    bool flag = false;
    if (!ToBool(temporary, flag)) return Refuse(L"Invalid procedure call or argument");
  }
  state_.deleted = true;
  Note(L"delete " + state_.caption);
  // The caller may hold the last reference to this control besides the parent.
  this->AddRef();
  if (parent != nullptr) parent->Remove(this);
  this->Release();
  return S_OK;
}

class PopupObject : public ControlImpl<CommandBarPopup> {
 public:
  explicit PopupObject(bool temporary) : ControlImpl(IID_CommandBarPopup, 10, temporary), controls_(new ControlsImpl()) {}

  HRESULT STDMETHODCALLTYPE get_Controls(IDispatch** controls) override {
    if (state_.deleted) return Gone();
    return GiveObject(controls_, controls);
  }
  ControlsObject* children() override { return controls_; }
  int FireClick() override { return 0; }

 private:
  ~PopupObject() override { controls_->Release(); }
  ControlsImpl* controls_;
};

class ButtonObject;

class ClickConnectionPoint : public IConnectionPoint {
 public:
  explicit ClickConnectionPoint(IConnectionPointContainer* container) : container_(container) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
      *object = static_cast<IConnectionPoint*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives exactly as long as its button.
  ULONG STDMETHODCALLTYPE AddRef() override { return container_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return container_->Release(); }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    *iid = DIID__CommandBarButtonEvents;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override {
    container_->AddRef();
    *container = container_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    if (sink == nullptr || cookie == nullptr) return E_POINTER;
    *cookie = 0;
    IDispatch* events = nullptr;
    if (FAILED(sink->QueryInterface(DIID__CommandBarButtonEvents, reinterpret_cast<void**>(&events)))) {
      return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = next_cookie_++;
    sinks_.emplace_back(*cookie, events);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
      if (it->first == cookie) {
        IDispatch* events = it->second;
        sinks_.erase(it);
        events->Release();
        return S_OK;
      }
    }
    return CONNECT_E_NOCONNECTION;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

  std::vector<IDispatch*> Sinks() const {
    std::vector<IDispatch*> sinks;
    for (auto& [cookie, events] : sinks_) sinks.push_back(events);
    return sinks;
  }
  std::size_t size() const { return sinks_.size(); }
  void ReleaseAll() {
    for (auto& [cookie, events] : sinks_) events->Release();
    sinks_.clear();
  }

 private:
  IConnectionPointContainer* container_;
  std::vector<std::pair<DWORD, IDispatch*>> sinks_;
  DWORD next_cookie_ = 1;
};

class ButtonObject : public ControlImpl<_CommandBarButton>, public IConnectionPointContainer {
 public:
  explicit ButtonObject(bool temporary) : ControlImpl(IID__CommandBarButton, 1, temporary), point_(this) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return ControlImpl::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ControlImpl::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return ControlImpl::Release(); }

  HRESULT STDMETHODCALLTYPE get_Style(long* style) override {
    *style = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    if (point == nullptr) return E_POINTER;
    *point = nullptr;
    if (!IsEqualIID(iid, DIID__CommandBarButtonEvents)) return CONNECT_E_NOCONNECTION;
    point_.AddRef();
    *point = &point_;
    return S_OK;
  }

  ControlsObject* children() override { return nullptr; }

  int FireClick() override {
    Note(L"click " + state_.caption);
    AddRef();
    int fired = 0;
    for (IDispatch* sink : point_.Sinks()) {
      sink->AddRef();
      VARIANT_BOOL cancel = VARIANT_FALSE;
      VARIANT arguments[2];
      VariantInit(&arguments[0]);
      VariantInit(&arguments[1]);
      arguments[0].vt = VT_BYREF | VT_BOOL;  // CancelDefault, last argument first
      arguments[0].pboolVal = &cancel;
      arguments[1].vt = VT_DISPATCH;
      arguments[1].pdispVal = static_cast<_CommandBarButton*>(this);
      DISPPARAMS parameters{arguments, nullptr, 2, 0};
      HRESULT result = sink->Invoke(1, IID_NULL, kEnglish, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
      if (FAILED(result)) Note(L"click handler failed");
      sink->Release();
      ++fired;
    }
    Release();
    return fired;
  }
  std::size_t advised() const { return point_.size(); }

 private:
  ~ButtonObject() override { point_.ReleaseAll(); }
  void* Other(REFIID iid) override {
    if (IsEqualIID(iid, IID_IConnectionPointContainer)) return static_cast<IConnectionPointContainer*>(this);
    return nullptr;
  }

  ClickConnectionPoint point_;
};

HRESULT ControlsImpl::Add(VARIANT type, VARIANT id, VARIANT parameter, VARIANT before, VARIANT temporary,
                          IDispatch** control) {
  long kind = 1;  // msoControlButton when left out
  if (!IsMissing(type) && !ToLong(type, kind)) return Refuse(L"Invalid procedure call or argument");
  if (kind != 1 && kind != 10) return Refuse(L"Invalid procedure call or argument");
  long built_in = 1;
  if (!IsMissing(id) && (!ToLong(id, built_in) || built_in != 1)) {
    return Refuse(L"The stand-in has no built-in controls");
  }
  (void)parameter;
  long position = static_cast<long>(controls_.size()) + 1;
  if (!IsMissing(before) && (!ToLong(before, position) || position < 1 ||
                             position > static_cast<long>(controls_.size()) + 1)) {
    return Refuse(L"Invalid procedure call or argument");
  }
  bool is_temporary = false;
  if (!IsMissing(temporary) && !ToBool(temporary, is_temporary)) return Refuse(L"Invalid procedure call or argument");

  IDispatch* dispatch = nullptr;
  ControlObjectBase* base = nullptr;
  if (kind == 10) {
    auto* popup = new PopupObject(is_temporary);
    popup->parent = this;
    dispatch = static_cast<CommandBarPopup*>(popup);
    base = popup;
  } else {
    auto* button = new ButtonObject(is_temporary);
    button->parent = this;
    dispatch = static_cast<_CommandBarButton*>(button);
    base = button;
  }
  controls_.insert(controls_.begin() + (position - 1), {dispatch, base});
  Note(std::wstring(L"add ") + (kind == 10 ? L"popup" : L"button") + (is_temporary ? L" temporary" : L""));
  return GiveObject(dispatch, control);
}

class CommandBarObject : public Dual<CommandBar> {
 public:
  CommandBarObject() : Dual(IID_CommandBar), controls_(new ControlsImpl()) {}

  HRESULT STDMETHODCALLTYPE get_Controls(IDispatch** controls) override { return GiveObject(controls_, controls); }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    *name = Copy(L"Worksheet Menu Bar");
    return S_OK;
  }
  ControlsImpl* controls() const { return controls_; }

 private:
  ~CommandBarObject() override { controls_->Release(); }
  ControlsImpl* controls_;
};

class CommandBarsObject : public Dual<_CommandBars> {
 public:
  CommandBarsObject() : Dual(IID__CommandBars), bar_(new CommandBarObject()) {}

  HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IDispatch** bar) override {
    const VARIANT& which = Deref(index);
    long number = 0;
    if (which.vt == VT_BSTR) {
      if (lstrcmpiW(which.bstrVal, L"Worksheet Menu Bar") != 0) return Refuse(L"Invalid procedure call or argument");
    } else if (!ToLong(which, number) || number != 1) {
      return Refuse(L"Invalid procedure call or argument");
    }
    return GiveObject(bar_, bar);
  }
  HRESULT STDMETHODCALLTYPE get_Count(int* count) override {
    *count = 1;
    return S_OK;
  }
  CommandBarObject* bar() const { return bar_; }

 private:
  ~CommandBarsObject() override { bar_->Release(); }
  CommandBarObject* bar_;
};

class ApplicationObject : public Dual<_Application> {
 public:
  ApplicationObject(HWND window, std::shared_ptr<SheetData> sheet)
      : Dual(IID__Application), window_(window), sheet_(std::move(sheet)), bars_(new CommandBarsObject()),
        worksheet_(new WorksheetObject(sheet_)) {}

  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    *name = Copy(L"Microsoft Excel");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_CommandBars(IDispatch** bars) override { return GiveObject(bars_, bars); }
  HRESULT STDMETHODCALLTYPE get_ActiveSheet(IDispatch** sheet) override { return GiveObject(worksheet_, sheet); }
  HRESULT STDMETHODCALLTYPE get_ActiveWorkbook(IDispatch** workbook) override {
    *workbook = new WorkbookObject(sheet_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Range(VARIANT cell1, VARIANT cell2, IDispatch** range) override {
    return RangeOf(sheet_, cell1, cell2, range);
  }
  HRESULT STDMETHODCALLTYPE get_Columns(IDispatch** columns) override { return worksheet_->get_Columns(columns); }
  HRESULT STDMETHODCALLTYPE get_Hwnd(long* window) override {
    *window = static_cast<long>(reinterpret_cast<INT_PTR>(window_));
    return S_OK;
  }
  CommandBarsObject* bars() const { return bars_; }

 private:
  ~ApplicationObject() override {
    worksheet_->Release();
    bars_->Release();
  }

  HWND window_;
  std::shared_ptr<SheetData> sheet_;
  CommandBarsObject* bars_;
  WorksheetObject* worksheet_;
};

class OtherApplicationObject : public Dual<_OtherApplication> {
 public:
  OtherApplicationObject() : Dual(IID__OtherApplication) {}
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    *name = Copy(L"Stand-in Host");
    return S_OK;
  }
};

Cell ParseCell(const std::wstring& kind, const std::wstring& text, long row) {
  std::wstring value = text;
  std::size_t mark = value.find(L"{row}");
  if (mark != std::wstring::npos) value.replace(mark, 5, std::to_wstring(row));
  Cell cell;
  if (kind == L"s") {
    cell.type = VT_BSTR;
    cell.text = value;
  } else if (kind == L"b") {
    cell.type = VT_BOOL;
    cell.number = (value == L"TRUE" || value == L"1") ? 1 : 0;
  } else if (kind == L"n" || kind == L"d" || kind == L"c" || kind == L"e") {
    cell.type = kind == L"n" ? VT_R8 : kind == L"d" ? VT_DATE : kind == L"c" ? VT_CY : VT_ERROR;
    cell.number = std::stod(value);
  } else {
    throw std::runtime_error("unknown cell kind");
  }
  return cell;
}

}  // namespace

void Note(const std::wstring& line) {
  if (Listener()) Listener()(line);
}

void SetNoteListener(std::function<void(const std::wstring&)> listener) { Listener() = std::move(listener); }

const Cell* SheetData::Find(long row, long column) const {
  auto found = cells_.find({row, column});
  return found == cells_.end() ? nullptr : &found->second;
}

ApplicationModel::ApplicationModel(HWND main_window, bool excel) : sheet_(std::make_shared<SheetData>()) {
  if (excel) {
    auto* application = new ApplicationObject(main_window, sheet_);
    menu_bar_controls_ = application->bars()->bar()->controls();
    application_ = static_cast<_Application*>(application);
  } else {
    application_ = static_cast<_OtherApplication*>(new OtherApplicationObject());
  }
}

ApplicationModel::~ApplicationModel() { application_->Release(); }

ControlsObject& ApplicationModel::menu_bar_controls() {
  if (menu_bar_controls_ == nullptr) throw std::runtime_error("this host has no command bars");
  return *menu_bar_controls_;
}

ULONG ApplicationModel::ForeignReferences() const {
  ULONG count = application_->AddRef();
  application_->Release();
  return count - 2;
}

// The file is UTF-8.
std::wstring Utf8Line(const std::string& line) {
  if (line.empty()) return {};
  int length = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), wide.data(), length);
  return wide;
}

void LoadCells(const std::wstring& path, SheetData& sheet) {
  std::ifstream file(path.c_str(), std::ios::binary);
  if (!file) throw std::runtime_error("cannot open the workbook file");
  std::string bytes;
  int number = 0;
  while (std::getline(file, bytes)) {
    std::wstring line = Utf8Line(bytes);
    ++number;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (line.empty() || line[0] == L'#') continue;
    std::wistringstream fields(line);
    std::wstring reference, kind, text;
    fields >> reference >> kind;
    std::getline(fields, text);
    if (!text.empty() && text[0] == L' ') text.erase(0, 1);
    auto block = ParseReference(reference);
    if (!block || block->last_row == kMaxRows) {
      throw std::runtime_error("workbook line " + std::to_string(number) + ": bad cell reference");
    }
    try {
      for (long r = block->first_row; r <= block->last_row; ++r) {
        for (long c = block->first_column; c <= block->last_column; ++c) sheet.Put(r, c, ParseCell(kind, text, r));
      }
    } catch (const std::exception&) {
      throw std::runtime_error("workbook line " + std::to_string(number) + ": bad cell value");
    }
  }
}

}  // namespace standin
