#include "workbook/xls_records.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "core/text/utf8.h"

namespace pelorin::workbook {
namespace {

enum RecordType : std::uint16_t {
  kFormula = 0x0006,
  kEof = 0x000A,
  kDateMode = 0x0022,
  kFilePass = 0x002F,
  kContinue = 0x003C,
  kWindow1 = 0x003D,
  kBoundSheet = 0x0085,
  kSst = 0x00FC,
  kMulRk = 0x00BD,
  kRString = 0x00D6,
  kMulBlank = 0x00BE,
  kXf = 0x00E0,
  kLabelSst = 0x00FD,
  kBlank = 0x0201,
  kLabel = 0x0204,
  kDimensions = 0x0200,
  kNumber = 0x0203,
  kBoolErr = 0x0205,
  kString = 0x0207,
  kRk = 0x027E,
  kFormat = 0x041E,
  kBof = 0x0809,
};

constexpr std::uint16_t kBiff8 = 0x0600;

struct Record {
  std::uint16_t type = 0;
  std::string_view data;
};

// Walks the records of the stream from an offset; every read is checked
// against the record's length.
class RecordCursor {
 public:
  RecordCursor(std::string_view stream, std::size_t offset) : stream_(stream), at_(offset) {}

  bool Next(Record& record) {
    if (at_ >= stream_.size()) return false;
    if (stream_.size() - at_ < 4) throw XlsFormatError("a record is cut short at the end");
    record.type = U16(stream_, at_);
    std::size_t size = U16(stream_, at_ + 2);
    if (stream_.size() - at_ - 4 < size) {
      throw XlsFormatError("a record runs past the end of the workbook stream");
    }
    record.data = stream_.substr(at_ + 4, size);
    at_ += 4 + size;
    return true;
  }
  std::uint16_t PeekType() const {
    return stream_.size() - at_ >= 4 ? U16(stream_, at_) : 0;
  }

  static std::uint16_t U16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
  }
  static std::uint32_t U32(std::string_view bytes, std::size_t at) {
    return U16(bytes, at) | static_cast<std::uint32_t>(U16(bytes, at + 2)) << 16;
  }

 private:
  std::string_view stream_;
  std::size_t at_;
};

std::uint16_t U16(std::string_view bytes, std::size_t at) { return RecordCursor::U16(bytes, at); }
std::uint32_t U32(std::string_view bytes, std::size_t at) { return RecordCursor::U32(bytes, at); }

void Need(const Record& record, std::size_t size, const char* what) {
  if (record.data.size() < size) {
    throw XlsFormatError(std::string("a ") + what + " record is too short");
  }
}

// Characters of an unformatted BIFF8 string: one byte each (Latin-1) or
// UTF-16LE; appends up to `count` of them from `bytes`, returns how many.
std::size_t AppendCharacters(std::string& out, std::string_view bytes, bool wide,
                             std::size_t count) {
  std::size_t width = wide ? 2 : 1;
  std::size_t taken = std::min(count, bytes.size() / width);
  for (std::size_t i = 0; i < taken; ++i) {
    char32_t unit = wide ? U16(bytes, 2 * i) : static_cast<unsigned char>(bytes[i]);
    if (wide && unit >= 0xD800 && unit <= 0xDBFF && i + 1 < taken) {
      char32_t low = U16(bytes, 2 * (i + 1));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        utf8::Append(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    utf8::Append(out, unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit);
  }
  return taken;
}

// A string with a 16-bit (or, for short strings, 8-bit) length at `at`,
// and in BIFF8 an option byte after it.
std::string ReadString(const Record& record, std::size_t at, bool short_length, int biff) {
  std::string_view data = record.data;
  std::size_t length_size = short_length ? 1 : 2;
  if (data.size() < at + length_size) throw XlsFormatError("a string is cut short");
  std::size_t count = short_length ? static_cast<unsigned char>(data[at]) : U16(data, at);
  at += length_size;
  std::string text;
  if (biff != 8) {
    AppendCharacters(text, data.substr(std::min(at, data.size())), false, count);
    return text;
  }
  if (data.size() < at + 1) throw XlsFormatError("a string is cut short");
  unsigned char options = static_cast<unsigned char>(data[at++]);
  if (options & 0x08) at += 2;  // a count of formatting runs
  if (options & 0x04) at += 4;  // the size of phonetic data
  if (at > data.size()) throw XlsFormatError("a string is cut short");
  AppendCharacters(text, data.substr(at), (options & 0x01) != 0, count);
  return text;
}

// A record and the CONTINUE records after it, read as one run of bytes. A
// string's characters may go on in the next record, which then begins with
// an option byte of its own saying how wide they are.
class ContinuedBytes {
 public:
  explicit ContinuedBytes(std::vector<std::string_view> parts) : parts_(std::move(parts)) {}

  bool AtEnd() {
    SkipFinishedParts();
    return part_ == parts_.size();
  }
  unsigned char Byte() {
    if (AtEnd()) throw XlsFormatError("the shared string table is cut short");
    return static_cast<unsigned char>(parts_[part_][at_++]);
  }
  std::uint16_t Le16() {
    const unsigned low = Byte();
    return static_cast<std::uint16_t>(low | Byte() << 8);
  }
  std::uint32_t Le32() {
    const std::uint32_t low = Le16();
    return low | static_cast<std::uint32_t>(Le16()) << 16;
  }
  void Skip(std::uint64_t count) {
    while (count > 0) {
      if (AtEnd()) throw XlsFormatError("the shared string table is cut short");
      const std::size_t taken = static_cast<std::size_t>(
          std::min<std::uint64_t>(count, parts_[part_].size() - at_));
      at_ += taken;
      count -= taken;
    }
  }
  // Appends `count` characters, `wide` as the string's option byte says
  // until a record ends.
  void Characters(std::string& out, std::size_t count, bool wide) {
    while (count > 0) {
      if (part_ == parts_.size()) throw XlsFormatError("a shared string is cut short");
      if (at_ == parts_[part_].size()) {
        ++part_;
        at_ = 0;
        wide = (Byte() & 0x01) != 0;
        continue;
      }
      const std::size_t taken = AppendCharacters(out, parts_[part_].substr(at_), wide, count);
      if (taken == 0) throw XlsFormatError("a shared string's character is split");
      at_ += taken * (wide ? 2 : 1);
      count -= taken;
    }
  }

 private:
  void SkipFinishedParts() {
    while (part_ < parts_.size() && at_ == parts_[part_].size()) {
      ++part_;
      at_ = 0;
    }
  }

  std::vector<std::string_view> parts_;
  std::size_t part_ = 0;
  std::size_t at_ = 0;
};

// An RK value: a 30-bit integer or the high bits of a double, maybe / 100.
double RkValue(std::uint32_t rk) {
  double value = 0;
  if (rk & 0x02) {
    value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFC) << 32;
    std::memcpy(&value, &bits, sizeof value);
  }
  return (rk & 0x01) ? value / 100 : value;
}

double DoubleAt(std::string_view bytes, std::size_t at) {
  std::uint64_t bits = U32(bytes, at) | static_cast<std::uint64_t>(U32(bytes, at + 4)) << 32;
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string ErrorText(unsigned char code) {
  switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    case 0x2A: return "#N/A";
    default: return "#N/A";
  }
}

int BiffVersion(const Record& bof) {
  Need(bof, 4, "BOF");
  return U16(bof.data, 0) == kBiff8 ? 8 : 5;
}

class SheetScanner {
 public:
  SheetScanner(const XlsGlobals& globals, XlsSheetValues& values,
               const std::vector<std::string>* shared_strings)
      : globals_(globals), values_(values), shared_strings_(shared_strings) {}

  void Take(const Record& record, RecordCursor& cursor) {
    Count(record);
    switch (record.type) {
      case kDimensions: return Dimensions(record);
      case kNumber:
        Need(record, 14, "NUMBER");
        return PutNumber(record, DoubleAt(record.data, 6));
      case kRk:
        Need(record, 10, "RK");
        return PutNumber(record, RkValue(U32(record.data, 6)));
      case kMulRk: return MulRk(record);
      case kBoolErr: return BoolErr(record);
      case kFormula: return Formula(record);
      case kString: return FormulaString(record, cursor);
      case kLabelSst: return shared_strings_ ? SharedText(record) : void();
      case kLabel: case kRString:
        if (shared_strings_ == nullptr) return;
        Need(record, 8, "LABEL");
        return Put(U16(record.data, 0), U16(record.data, 2),
                   ReadString(record, 6, false, globals_.biff_version));
      default: return;
    }
  }

 private:
  void Dimensions(const Record& record) {
    if (globals_.biff_version == 8) {
      Need(record, 12, "DIMENSIONS");
      values_.rows = U32(record.data, 4);
      values_.columns = U16(record.data, 10);
    } else {
      Need(record, 8, "DIMENSIONS");
      values_.rows = U16(record.data, 2);
      values_.columns = U16(record.data, 6);
    }
  }

  void Count(const Record& record) {
    switch (record.type) {
      case kMulRk:  // first row and column, 6 bytes a cell, last column
        values_.cell_records += record.data.size() >= 6 ? (record.data.size() - 6) / 6 : 0;
        break;
      case kMulBlank:  // the same with 2 bytes a cell
        values_.cell_records += record.data.size() >= 6 ? (record.data.size() - 6) / 2 : 0;
        break;
      case kNumber: case kRk: case kBoolErr: case kFormula:
      case kLabelSst: case kLabel: case kRString: case kBlank:
        ++values_.cell_records;
        break;
      default:
        break;
    }
  }

  DateKind KindOf(std::uint16_t xf) const {
    return xf < globals_.xf_kinds.size() ? globals_.xf_kinds[xf] : DateKind::kNone;
  }

  void Put(std::uint16_t row, std::uint16_t column, std::string text) {
    pending_string_ = false;
    if (text.empty()) return;
    values_.cells.push_back({row, column, std::move(text)});
  }

  void PutNumberAt(std::uint16_t row, std::uint16_t column, std::uint16_t xf, double value) {
    DateKind kind = KindOf(xf);
    Put(row, column, kind == DateKind::kNone ? GeneralNumberText(value)
                                             : SerialDateText(value, kind, globals_.date1904));
  }

  void PutNumber(const Record& record, double value) {
    PutNumberAt(U16(record.data, 0), U16(record.data, 2), U16(record.data, 4), value);
  }

  void MulRk(const Record& record) {
    Need(record, 6, "MULRK");
    std::uint16_t row = U16(record.data, 0);
    std::uint16_t column = U16(record.data, 2);
    // Pairs of format index and value, then the last column.
    for (std::size_t at = 4; at + 6 + 2 <= record.data.size(); at += 6, ++column) {
      PutNumberAt(row, column, U16(record.data, at), RkValue(U32(record.data, at + 2)));
    }
  }

  void BoolErr(const Record& record) {
    Need(record, 8, "BOOLERR");
    unsigned char value = static_cast<unsigned char>(record.data[6]);
    bool error = record.data[7] != 0;
    Put(U16(record.data, 0), U16(record.data, 2),
        error ? ErrorText(value) : (value ? "TRUE" : "FALSE"));
  }

  void Formula(const Record& record) {
    Need(record, 14, "FORMULA");
    std::uint16_t row = U16(record.data, 0);
    std::uint16_t column = U16(record.data, 2);
    if (U16(record.data, 12) != 0xFFFF) {
      PutNumber(record, DoubleAt(record.data, 6));
      return;
    }
    unsigned char kind = static_cast<unsigned char>(record.data[6]);
    unsigned char value = static_cast<unsigned char>(record.data[8]);
    if (kind == 0) {  // text, in the STRING record that follows
      pending_string_ = true;
      pending_row_ = row;
      pending_column_ = column;
    } else if (kind == 1) {
      Put(row, column, value ? "TRUE" : "FALSE");
    } else if (kind == 2) {
      Put(row, column, ErrorText(value));
    } else {
      Put(row, column, "");
    }
  }

  void FormulaString(const Record& record, RecordCursor& cursor) {
    if (!pending_string_) return;
    std::string text = ReadString(record, 0, false, globals_.biff_version);
    std::size_t count = U16(record.data, 0);
    // A long text goes on in CONTINUE records, each with its own option byte.
    std::size_t have = utf8::Decode(text).size();
    Record more;
    while (globals_.biff_version == 8 && have < count && cursor.PeekType() == kContinue &&
           cursor.Next(more) && !more.data.empty()) {
      bool wide = (static_cast<unsigned char>(more.data[0]) & 0x01) != 0;
      have += AppendCharacters(text, more.data.substr(1), wide, count - have);
    }
    Put(pending_row_, pending_column_, std::move(text));
  }

  void SharedText(const Record& record) {
    Need(record, 10, "LABELSST");
    const std::uint32_t index = U32(record.data, 6);
    if (index >= shared_strings_->size()) {
      throw XlsFormatError("a cell names shared string " + std::to_string(index + 1) +
                           " of " + std::to_string(shared_strings_->size()));
    }
    Put(U16(record.data, 0), U16(record.data, 2), (*shared_strings_)[index]);
  }

  const XlsGlobals& globals_;
  XlsSheetValues& values_;
  const std::vector<std::string>* shared_strings_;
  bool pending_string_ = false;
  std::uint16_t pending_row_ = 0;
  std::uint16_t pending_column_ = 0;
};

}  // namespace

XlsGlobals ScanXlsGlobals(std::string_view stream) {
  RecordCursor cursor(stream, 0);
  Record record;
  if (!cursor.Next(record) || record.type != kBof) {
    throw XlsFormatError("the workbook stream does not begin with a BOF record");
  }
  XlsGlobals globals;
  globals.biff_version = BiffVersion(record);
  std::map<int, DateKind> custom;
  std::vector<int> xf_formats;
  while (cursor.Next(record) && record.type != kEof) {
    switch (record.type) {
      case kFilePass:
        globals.encrypted = true;
        return globals;  // what follows cannot be read without the password
      case kDateMode:
        Need(record, 2, "DATEMODE");
        globals.date1904 = U16(record.data, 0) != 0;
        break;
      case kWindow1:
        Need(record, 12, "WINDOW1");
        globals.active_tab = U16(record.data, 10);
        break;
      case kBoundSheet: {
        Need(record, 6, "BOUNDSHEET");
        XlsSheetEntry entry;
        entry.offset = U32(record.data, 0);
        entry.worksheet = static_cast<unsigned char>(record.data[5]) == 0;
        entry.name = ReadString(record, 6, true, globals.biff_version);
        globals.sheets.push_back(std::move(entry));
        break;
      }
      case kFormat: {
        Need(record, 3, "FORMAT");
        bool short_length = globals.biff_version != 8;
        custom[U16(record.data, 0)] =
            ClassifyNumberFormat(ReadString(record, 2, short_length, globals.biff_version));
        break;
      }
      case kXf:
        Need(record, 4, "XF");
        xf_formats.push_back(U16(record.data, 2));
        break;
      default:
        break;
    }
  }
  // Formats may be listed after the cell formats that use them.
  for (int id : xf_formats) {
    auto found = custom.find(id);
    globals.xf_kinds.push_back(found != custom.end() ? found->second : BuiltInFormatKind(id));
  }
  if (globals.active_tab >= static_cast<int>(globals.sheets.size())) globals.active_tab = 0;
  return globals;
}

XlsSheetValues ScanXlsSheet(std::string_view stream, const XlsGlobals& globals,
                            const XlsSheetEntry& entry,
                            const std::vector<std::string>* shared_strings) {
  if (entry.offset >= stream.size()) {
    throw XlsFormatError("sheet \"" + entry.name + "\" lies past the end of the workbook stream");
  }
  RecordCursor cursor(stream, entry.offset);
  Record record;
  if (!cursor.Next(record) || record.type != kBof) {
    throw XlsFormatError("sheet \"" + entry.name + "\" does not begin with a BOF record");
  }
  XlsSheetValues values;
  SheetScanner scanner(globals, values, shared_strings);
  // A chart inside the sheet is a BOF ... EOF block of its own: skip it.
  int depth = 1;
  while (depth > 0 && cursor.Next(record)) {
    if (record.type == kBof) {
      ++depth;
    } else if (record.type == kEof) {
      --depth;
    } else if (depth == 1) {
      scanner.Take(record, cursor);
    }
  }
  return values;
}

}  // namespace pelorin::workbook

namespace pelorin::workbook {
namespace {

std::vector<std::string> ReadSharedStrings(ContinuedBytes& bytes) {
  bytes.Skip(4);  // the count of cells using them
  const std::uint32_t unique = bytes.Le32();
  std::vector<std::string> strings;
  while (strings.size() < unique && !bytes.AtEnd()) {
    const std::size_t count = bytes.Le16();
    const unsigned char options = bytes.Byte();
    const std::uint16_t runs = (options & 0x08) ? bytes.Le16() : 0;
    const std::uint32_t phonetic = (options & 0x04) ? bytes.Le32() : 0;
    std::string text;
    bytes.Characters(text, count, (options & 0x01) != 0);
    bytes.Skip(std::uint64_t{4} * runs + phonetic);
    strings.push_back(std::move(text));
  }
  return strings;
}

}  // namespace

std::vector<std::string> ScanXlsSharedStrings(std::string_view stream) {
  RecordCursor cursor(stream, 0);
  Record record;
  while (cursor.Next(record) && record.type != kEof) {
    if (record.type != kSst) continue;
    std::vector<std::string_view> parts = {record.data};
    while (cursor.PeekType() == kContinue && cursor.Next(record)) parts.push_back(record.data);
    ContinuedBytes bytes(std::move(parts));
    return ReadSharedStrings(bytes);
  }
  return {};
}

}  // namespace pelorin::workbook
