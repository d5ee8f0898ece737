#include "workbook/sheet_xml_scanner.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

#include "workbook/part_prefetcher.h"
#include "workbook/workbook.h"

namespace pelorin::workbook {
namespace {

constexpr const char* kInvalidToken = "not well-formed (invalid token)";

// A text run with no '<' in sight is handed over in pieces once it is this
// long, so one huge cell cannot hold the whole part in the buffer.
constexpr std::size_t kLongText = 64 * 1024;

// The piece inflated at a time, and the room before it for the end of the
// piece before, which a token may straddle.
constexpr std::size_t kChunkBytes = 256 * 1024;
constexpr std::size_t kPieceHeadroom = 4096;

// Bytes readable past the end of the scanner's buffers (after the NUL), so
// that names are compared a word at a time.
constexpr std::size_t kSlack = 16;
static_assert(SheetXmlScanner::kTailRoom >= kSlack + 1);

// How large a start tag layout remembered may be.
constexpr std::size_t kMaxShapeAttributes = 32;
constexpr std::size_t kMaxShapeText = 1024;

enum ByteClass : unsigned char { kPlain, kNewline, kTab, kReturn, kAmpersand, kLess, kControl, kHigh };

constexpr std::array<unsigned char, 256> MakeByteClasses() {
  std::array<unsigned char, 256> classes{};
  for (int c = 0; c < 0x20; ++c) classes[c] = kControl;
  classes['\n'] = kNewline;
  classes['\t'] = kTab;
  classes['\r'] = kReturn;
  classes['&'] = kAmpersand;
  classes['<'] = kLess;
  for (int c = 0x80; c < 0x100; ++c) classes[c] = kHigh;
  return classes;
}
constexpr std::array<unsigned char, 256> kByteClasses = MakeByteClasses();

// Bytes of UTF-8 sequences are let into names unchecked: a name is never
// shown, only compared.
constexpr std::array<bool, 256> MakeNameBytes(bool start) {
  std::array<bool, 256> bytes{};
  for (int c = 'a'; c <= 'z'; ++c) bytes[c] = true;
  for (int c = 'A'; c <= 'Z'; ++c) bytes[c] = true;
  for (int c = 0x80; c < 0x100; ++c) bytes[c] = true;
  bytes['_'] = bytes[':'] = true;
  if (!start) {
    for (int c = '0'; c <= '9'; ++c) bytes[c] = true;
    bytes['.'] = bytes['-'] = true;
  }
  return bytes;
}
constexpr std::array<bool, 256> kNameStart = MakeNameBytes(true);
constexpr std::array<bool, 256> kNameByte = MakeNameBytes(false);

bool IsNameStart(char c) { return kNameStart[static_cast<unsigned char>(c)]; }
bool IsNameByte(char c) { return kNameByte[static_cast<unsigned char>(c)]; }
bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r'; }

bool IsXmlChar(std::uint32_t code) {
  if (code < 0x20) return code == 0x9 || code == 0xA || code == 0xD;
  if (code < 0xD800) return true;
  if (code < 0xE000) return false;
  if (code < 0xFFFE) return true;
  return code >= 0x10000 && code <= 0x10FFFF;
}

char* EncodeUtf8(std::uint32_t code, char* out) {
  if (code < 0x80) {
    *out++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code >> 6));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (code >> 12));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (code >> 18));
    *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

// The length of the well-formed UTF-8 sequence of an XML character at
// `at`, or 0.
std::size_t Utf8Length(const unsigned char* at, const unsigned char* end) {
  unsigned char lead = at[0];
  std::size_t length = lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
  if (length == 0 || static_cast<std::size_t>(end - at) < length) return 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;  // no surrogates
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
  if (at[1] < low || at[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((at[i] & 0xC0) != 0x80) return 0;
  }
  if (lead == 0xEF && at[1] == 0xBF && (at[2] == 0xBE || at[2] == 0xBF)) return 0;  // U+FFFE, U+FFFF
  return length;
}

// Where the local part of a qualified name starts: past its last ':'.
const char* LocalStart(const char* begin, const char* end) {
  const char* local = begin;
  for (const char* at = begin; at < end; ++at) {
    if (*at == ':') local = at + 1;
  }
  return local;
}

std::string_view LocalPart(const char* begin, const char* end) {
  const char* local = LocalStart(begin, end);
  return std::string_view(local, static_cast<std::size_t>(end - local));
}

// Names are a few bytes long: a loop beats a call to memcmp.
bool SameBytes(const char* a, std::size_t a_size, const char* b, std::size_t b_size) {
  if (a_size != b_size) return false;
  for (std::size_t i = 0; i < a_size; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// The first `byte` in [begin, end), or nullptr; attribute values are short,
// so the first bytes are looked at before memchr is called.
const char* FindByte(const char* begin, const char* end, char byte) {
  const char* near_end = end - begin > 16 ? begin + 16 : end;
  for (const char* at = begin; at < near_end; ++at) {
    if (*at == byte) return at;
  }
  if (near_end == end) return nullptr;
  return static_cast<const char*>(std::memchr(near_end, byte, static_cast<std::size_t>(end - near_end)));
}

// Bytes an attribute value in double quotes holds as they are: no quote,
// reference, white space to normalise, control or UTF-8 to check.
constexpr std::array<bool, 256> MakeValueBytes() {
  std::array<bool, 256> bytes{};
  for (int c = 0; c < 256; ++c) bytes[c] = kByteClasses[c] == kPlain && c != '"';
  return bytes;
}
constexpr std::array<bool, 256> kValueBytes = MakeValueBytes();

std::uint64_t LoadWord(const char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// The bits of a loaded word that hold its first `n` bytes (1 to 8).
std::uint64_t LeadingBytes(std::size_t n) {
  if (n >= 8) return ~std::uint64_t{0};
  if constexpr (std::endian::native == std::endian::little) {
    return (std::uint64_t{1} << (8 * n)) - 1;
  } else {
    return ~(~std::uint64_t{0} >> (8 * n));
  }
}

// Compares a word at a time: both sides must be readable up to `n` rounded
// up to a word. `expected` holds no NUL, so a comparison running into the
// buffer's terminating NUL fails there, before reading further.
bool SameWords(const char* at, const char* expected, std::size_t n) {
  for (; n >= 8; n -= 8, at += 8, expected += 8) {
    if (LoadWord(at) != LoadWord(expected)) return false;
  }
  return n == 0 || ((LoadWord(at) ^ LoadWord(expected)) & LeadingBytes(n)) == 0;
}

bool IsPlainText(const char* begin, const char* end) {
  for (; begin < end; ++begin) {
    if (kByteClasses[static_cast<unsigned char>(*begin)] != kPlain) return false;
  }
  return true;
}

bool LooksLikeName(std::string_view text) {
  if (text.empty() || !IsNameStart(text[0])) return false;
  return std::all_of(text.begin(), text.end(), IsNameByte);
}

}  // namespace

std::string_view FindXmlAttribute(const XmlAttribute* attributes, std::size_t count,
                                  std::string_view name) {
  for (std::size_t i = 0; i < count; ++i) {
    if (attributes[i].name == name) return attributes[i].value;
  }
  return {};
}

// The text of a start tag's layout is the tag's name followed by
// ` NAME="` for its first attribute and `" NAME="` for each further one,
// each such piece a segment: a tag of this layout is these segments with a
// plain value after each, then `">` or `"/>`.
struct SheetXmlScanner::TagShape {
  std::string text;  // kSlack NULs after the segments
  std::size_t name_length = 0;
  std::size_t local = 0;  // where the local name starts in `text`
  std::vector<std::size_t> segments;  // their lengths, one per attribute
  // The attributes' names, in `text`; the values are set at each match.
  std::vector<XmlAttribute> attributes;
  // The shapes matched after this one the last two times, tried first.
  std::size_t successors[2] = {0, 0};
};

SheetXmlScanner::SheetXmlScanner(std::string place, SheetXmlHandler& handler)
    : place_(std::move(place)), handler_(handler) {}

SheetXmlScanner::~SheetXmlScanner() = default;

void SheetXmlScanner::Malformed(const char* what) const {
  throw WorkbookError(place_ + ": line " + std::to_string(line_) + ": malformed XML: " + what);
}

void SheetXmlScanner::Rethrow(const XmlContentError& error) const {
  throw WorkbookError(place_ + ": line " + std::to_string(line_) + ": " + error.what());
}

char* SheetXmlScanner::Room(std::size_t size) {
  if (capacity_ - size_ < size + 1) {
    std::size_t capacity = std::max(capacity_ * 2, size_ + size + 1);
    auto grown = std::make_unique<char[]>(capacity + kSlack);
    if (size_ != 0) std::memcpy(grown.get(), data_, size_);
    buffer_ = std::move(grown);
    capacity_ = capacity;
  }
  data_ = buffer_.get();
  return data_ + size_;
}

void SheetXmlScanner::Commit(std::size_t size) {
  size_ += size;
  data_[size_] = '\0';
  Scan(false);
  Keep();
}

// Keeps only the token not yet whole, at the front of the scanner's own
// buffer.
void SheetXmlScanner::Keep() {
  const char* rest = data_ + position_;
  std::size_t rest_size = size_ - position_;
  if (data_ == buffer_.get()) {
    if (rest_size != 0 && position_ != 0) std::memmove(data_, rest, rest_size);
  } else {
    size_ = 0;
    std::memcpy(Room(rest_size), rest, rest_size);
  }
  data_ = buffer_.get();
  size_ = rest_size;
  position_ = 0;
  data_[size_] = '\0';
}

void SheetXmlScanner::FeedInPlace(char* piece, std::size_t size, std::size_t headroom) {
  std::size_t pending = size_ - position_;
  if (pending > headroom) {
    Feed(std::string_view(piece, size));
    return;
  }
  // The token left from the piece before goes in front of this one.
  char* start = piece - pending;
  if (pending != 0) std::memcpy(start, data_ + position_, pending);
  data_ = start;
  size_ = pending + size;
  position_ = 0;
  data_[size_] = '\0';
  Scan(false);
  Keep();
}

void SheetXmlScanner::Feed(std::string_view piece) {
  char* room = Room(piece.size());
  if (!piece.empty()) std::memcpy(room, piece.data(), piece.size());
  Commit(piece.size());
}

void SheetXmlScanner::Finish() {
  Room(0);
  Scan(true);
  if (!root_seen_ || !open_starts_.empty()) Malformed("no element found");
}

void SheetXmlScanner::Scan(bool final) {
  if (!bom_checked_) {
    std::string_view start(data_ + position_, std::min<std::size_t>(size_ - position_, 3));
    std::string_view bom = "\xEF\xBB\xBF";
    if (start.size() < 3 && !final && bom.substr(0, start.size()) == start) return;
    if (start == bom) position_ += 3;
    bom_checked_ = true;
  }
  while (position_ < size_) {
    bool done = data_[position_] == '<' ? ScanToken() : ScanText(final);
    if (!done) break;
    anything_seen_ = true;
  }
  if (final && position_ < size_) Malformed("unclosed token");
}

bool SheetXmlScanner::ScanText(bool final) {
  char* data = data_;
  std::size_t size = size_;
  const char* less = FindByte(data + position_, data + size, '<');
  std::size_t end = less != nullptr ? static_cast<std::size_t>(less - data) : size;
  if (less == nullptr && !final) {
    if (size - position_ < kLongText) return false;
    // Stop short of a character, a reference or a "\r\n" the next piece
    // may complete.
    std::size_t back = 0;
    while (back < 4 && end - back > position_ &&
           (static_cast<unsigned char>(data[end - back - 1]) & 0xC0) == 0x80) {
      ++back;
    }
    if (end - back > position_ && static_cast<unsigned char>(data[end - back - 1]) >= 0xC0) ++back;
    end -= back;
    std::string_view run(data + position_, end - position_);
    std::size_t ampersand = run.rfind('&');
    if (ampersand != std::string_view::npos && run.find(';', ampersand) == std::string_view::npos) {
      end = position_ + ampersand;
    }
    if (end > position_ && data[end - 1] == '\r') --end;
    if (end == position_) return false;
  }
  Deliver(data + position_, data + end, false);
  position_ = end;
  return true;
}

void SheetXmlScanner::Deliver(char* begin, char* end, bool cdata) {
  if (open_starts_.empty()) {
    for (char* at = begin; at < end; ++at) {
      if (*at == '\n') ++line_;
      if (!IsSpace(*at)) Malformed(root_closed_ ? "junk after document element" : "syntax error");
    }
    return;
  }
  char* text_end = cdata ? DecodeCData(begin, end) : Decode(begin, end, false);
  if (text_end == begin) return;
  try {
    handler_.Text(std::string_view(begin, static_cast<std::size_t>(text_end - begin)));
  } catch (const XmlContentError& error) {
    Rethrow(error);
  }
}

char* SheetXmlScanner::Decode(char* read, char* end, bool attribute) {
  while (read < end && kByteClasses[static_cast<unsigned char>(*read)] == kPlain) ++read;
  char* write = read;
  while (read < end) {
    switch (kByteClasses[static_cast<unsigned char>(*read)]) {
      case kPlain:
        *write++ = *read++;
        break;
      case kNewline:
        ++line_;
        *write++ = attribute ? ' ' : '\n';
        ++read;
        break;
      case kTab:
        *write++ = attribute ? ' ' : '\t';
        ++read;
        break;
      case kReturn:
        ++line_;
        *write++ = attribute ? ' ' : '\n';
        ++read;
        if (read < end && *read == '\n') ++read;
        break;
      case kAmpersand:
        read = DecodeReference(read, end, write);
        break;
      case kHigh: {
        std::size_t length = Utf8Length(reinterpret_cast<const unsigned char*>(read),
                                        reinterpret_cast<const unsigned char*>(end));
        if (length == 0) Malformed(kInvalidToken);
        std::memmove(write, read, length);
        write += length;
        read += length;
        break;
      }
      default:  // '<' in an attribute value, control characters
        Malformed(kInvalidToken);
    }
  }
  return write;
}

char* SheetXmlScanner::DecodeCData(char* read, char* end) {
  char* write = read;
  while (read < end) {
    unsigned char byte_class = kByteClasses[static_cast<unsigned char>(*read)];
    if (byte_class == kAmpersand || byte_class == kLess) byte_class = kPlain;
    if (byte_class == kHigh) {
      std::size_t length = Utf8Length(reinterpret_cast<const unsigned char*>(read),
                                      reinterpret_cast<const unsigned char*>(end));
      if (length == 0) Malformed(kInvalidToken);
      std::memmove(write, read, length);
      write += length;
      read += length;
    } else if (byte_class == kControl) {
      Malformed(kInvalidToken);
    } else if (byte_class == kReturn) {
      ++line_;
      *write++ = '\n';
      ++read;
      if (read < end && *read == '\n') ++read;
    } else {
      if (byte_class == kNewline) ++line_;
      *write++ = *read++;
    }
  }
  return write;
}

char* SheetXmlScanner::DecodeReference(char* read, char* end, char*& write) {
  const void* found = std::memchr(read + 1, ';', static_cast<std::size_t>(end - read - 1));
  if (found == nullptr) Malformed(kInvalidToken);
  const char* semicolon = static_cast<const char*>(found);
  std::string_view name(read + 1, static_cast<std::size_t>(semicolon - read - 1));
  std::uint32_t code = 0;
  if (name == "amp") {
    code = '&';
  } else if (name == "lt") {
    code = '<';
  } else if (name == "gt") {
    code = '>';
  } else if (name == "quot") {
    code = '"';
  } else if (name == "apos") {
    code = '\'';
  } else if (!name.empty() && name[0] == '#') {
    code = CharacterNumber(name.substr(1));
  } else {
    Malformed(LooksLikeName(name) ? "undefined entity" : kInvalidToken);
  }
  write = EncodeUtf8(code, write);
  return const_cast<char*>(semicolon) + 1;
}

std::uint32_t SheetXmlScanner::CharacterNumber(std::string_view digits) const {
  int base = 10;
  if (!digits.empty() && digits[0] == 'x') {
    base = 16;
    digits.remove_prefix(1);
  }
  if (digits.empty()) Malformed(kInvalidToken);
  std::uint32_t code = 0;
  for (char c : digits) {
    int digit = c >= '0' && c <= '9'                ? c - '0'
                : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
    if (digit < 0) Malformed(kInvalidToken);
    if (code <= 0x10FFFF) code = code * base + static_cast<std::uint32_t>(digit);
  }
  if (!IsXmlChar(code)) Malformed("reference to invalid character number");
  return code;
}

bool SheetXmlScanner::ScanToken() {
  const char* data = data_;
  std::size_t size = size_;
  if (size - position_ < 2) return false;
  char kind = data[position_ + 1];
  if (kind == '!' || kind == '?') return ScanMarkup();
  if (kind == '/') {
    if (ScanKnownEndTag()) return true;
  } else if (IsNameStart(kind) && (ScanKnownStartTag() || ScanPlainElement())) {
    return true;
  }
  // A tag ends with '>': none among the bytes that came since the last try
  // means it is still not whole.
  if (resume_ != 0 &&
      std::memchr(data + position_ + resume_, '>', size - position_ - resume_) == nullptr) {
    resume_ = size - position_;
    return false;
  }
  std::size_t end = kind == '/' ? EndTag(position_) : StartTag(position_);
  if (end == 0) {
    resume_ = size - position_;
    return false;
  }
  resume_ = 0;
  position_ = end;
  return true;
}

namespace {

// Skips white space; the buffer's terminating NUL stops it.
const char* SkipBlanks(const char* at, std::uint64_t& lines) {
  while (IsSpace(*at)) {
    if (*at == '\n') ++lines;
    ++at;
  }
  return at;
}

const char* SkipName(const char* at) {
  while (IsNameByte(*at)) ++at;
  return at;
}

}  // namespace

std::size_t SheetXmlScanner::StartTag(std::size_t begin) {
  if (root_closed_) Malformed("junk after document element");
  char* data = data_;
  const char* limit = data + size_;  // *limit is NUL: every loop below stops there
  const char* name = data + begin + 1;
  if (!IsNameStart(*name)) Malformed(kInvalidToken);
  const char* name_end = SkipName(name);
  std::uint64_t lines = 0;
  spans_.clear();
  const char* at = name_end;
  bool self_closing = false;
  for (;;) {
    const char* before = at;
    at = SkipBlanks(at, lines);
    if (at == limit) return 0;
    if (*at == '>') break;
    if (*at == '/') {
      if (at + 1 == limit) return 0;
      if (at[1] != '>') Malformed(kInvalidToken);
      self_closing = true;
      ++at;
      break;
    }
    if (at == before || !IsNameStart(*at)) Malformed(kInvalidToken);
    const char* attribute = at;
    at = SkipName(at);
    const char* attribute_end = at;
    at = SkipBlanks(at, lines);
    if (at == limit) return 0;
    if (*at != '=') Malformed(kInvalidToken);
    at = SkipBlanks(at + 1, lines);
    if (at == limit) return 0;
    char quote = *at;
    if (quote != '"' && quote != '\'') Malformed(kInvalidToken);
    const char* value = at + 1;
    const char* close = FindByte(value, limit, quote);
    if (close == nullptr) return 0;
    spans_.push_back({static_cast<std::size_t>(attribute - data),
                      static_cast<std::size_t>(attribute_end - data),
                      static_cast<std::size_t>(value - data), static_cast<std::size_t>(close - data)});
    at = close + 1;
  }
  // The tag is whole: decode the values in place and hand it over.
  std::size_t end = static_cast<std::size_t>(at - data) + 1;
  attributes_.clear();
  bool plain = true;
  for (std::size_t i = 0; i < spans_.size(); ++i) {
    const AttributeSpan& span = spans_[i];
    for (std::size_t j = 0; j < i; ++j) {
      if (SameBytes(data + spans_[j].name, spans_[j].name_end - spans_[j].name, data + span.name,
                    span.name_end - span.name)) {
        Malformed("duplicate attribute");
      }
    }
    char* value_end = data + span.value_end;
    if (!IsPlainText(data + span.value, value_end)) {
      plain = false;
      value_end = Decode(data + span.value, value_end, true);
    }
    const char* name_begin = data + span.name;
    const char* local = LocalStart(name_begin, data + span.name_end);
    std::size_t prefix_size = local == name_begin ? 0 : static_cast<std::size_t>(local - name_begin - 1);
    attributes_.push_back({std::string_view(local, static_cast<std::size_t>(data + span.name_end - local)),
                           std::string_view(data + span.value,
                                            static_cast<std::size_t>(value_end - data - span.value)),
                           std::string_view(name_begin, prefix_size)});
  }
  if (plain) Learn(name, name_end, at);
  line_ += lines;
  const char* local = LocalStart(name, name_end);
  if (!self_closing) {
    Open(name, static_cast<std::size_t>(name_end - name), static_cast<std::size_t>(local - name));
  }
  Handle(std::string_view(local, static_cast<std::size_t>(name_end - local)), attributes_.data(),
         attributes_.size(), self_closing);
  return end;
}

void SheetXmlScanner::Handle(std::string_view local, const XmlAttribute* attributes,
                             std::size_t count, bool self_closing) {
  root_seen_ = true;
  try {
    handler_.StartElement(local, attributes, count);
    if (self_closing) handler_.EndElement(local);
  } catch (const XmlContentError& error) {
    Rethrow(error);
  }
  if (open_starts_.empty()) root_closed_ = true;
}

// Remembers the layout of a start tag the general path took, when it is
// written plainly; `spans_` hold its attributes, checked and with plain
// values, and `close` points at its '>'.
void SheetXmlScanner::Learn(const char* name, const char* name_end, const char* close) {
  if (spans_.size() > kMaxShapeAttributes) return;
  const char* data = data_;
  const char* at = name_end;
  for (const AttributeSpan& span : spans_) {
    if (*at != ' ' || data + span.name != at + 1 || data[span.name_end] != '=' ||
        data[span.name_end + 1] != '"') {
      return;
    }
    at = data + span.value_end + 1;
  }
  if (!(at == close || (*at == '/' && at + 1 == close))) return;
  // The layout's text, built where it is reused until it is new.
  std::string& text = learning_;
  text.assign(name, name_end);
  std::vector<std::size_t> segments;
  std::vector<std::size_t> name_starts;
  for (const AttributeSpan& span : spans_) {
    std::size_t segment_start = text.size();
    text += segments.empty() ? " " : "\" ";
    name_starts.push_back(text.size());
    text.append(data + span.name, data + span.name_end);
    text += "=\"";
    segments.push_back(text.size() - segment_start);
  }
  if (text.size() > kMaxShapeText) return;
  for (const auto& known : shapes_) {
    if (known->text.compare(0, known->text.size() - kSlack, text) == 0) return;
  }
  auto shape = std::make_unique<TagShape>();
  shape->text.reserve(text.size() + kSlack);
  shape->text = text;
  shape->text.append(kSlack, '\0');
  shape->name_length = static_cast<std::size_t>(name_end - name);
  shape->local = static_cast<std::size_t>(LocalStart(name, name_end) - name);
  shape->segments = std::move(segments);
  for (std::size_t i = 0; i < spans_.size(); ++i) {
    const char* name_begin = shape->text.data() + name_starts[i];
    const char* name_end_in_text = name_begin + (spans_[i].name_end - spans_[i].name);
    const char* local = LocalStart(name_begin, name_end_in_text);
    std::size_t prefix_size = local == name_begin ? 0 : static_cast<std::size_t>(local - name_begin - 1);
    shape->attributes.push_back({std::string_view(local, static_cast<std::size_t>(name_end_in_text - local)),
                                 {},
                                 std::string_view(name_begin, prefix_size)});
  }
  std::size_t slot = shapes_.size();
  if (slot < kMaxShapes) {
    shapes_.push_back(std::move(shape));
  } else {
    slot = next_shape_slot_;
    next_shape_slot_ = (next_shape_slot_ + 1) % kMaxShapes;
    shapes_[slot] = std::move(shape);
  }
  // The head is what comes before the first value.
  const TagShape& learned = *shapes_[slot];
  shape_heads_[slot] = LoadWord(learned.text.data());
  shape_head_masks_[slot] =
      LeadingBytes(learned.name_length + (learned.segments.empty() ? 0 : learned.segments[0]));
}

namespace {

// Matches a shape at `name` (just past '<'); returns the end of the tag, or
// nullptr when the tag is laid out otherwise, holds a value that is not
// plain, or is not whole in the buffer.
const char* MatchShape(const char* name, const char* expected, std::size_t name_length,
                       const std::vector<std::size_t>& segments, XmlAttribute* attributes,
                       bool& self_closing) {
  const char* at = name;
  std::size_t length = name_length;  // the name comes before the first segment
  for (std::size_t i = 0; i < segments.size(); ++i) {
    length += segments[i];
    if (!SameWords(at, expected, length)) return nullptr;
    at += length;
    expected += length;
    length = 0;
    const char* value = at;
    while (kValueBytes[static_cast<unsigned char>(*at)]) ++at;
    if (*at != '"') return nullptr;  // the next segment starts with it
    attributes[i].value = std::string_view(value, static_cast<std::size_t>(at - value));
  }
  if (segments.empty()) {
    if (!SameWords(at, expected, length)) return nullptr;
    at += length;
  } else {
    ++at;  // the last closing quote
  }
  if (*at == '>') {
    self_closing = false;
    return at + 1;
  }
  if (at[0] == '/' && at[1] == '>') {
    self_closing = true;
    return at + 2;
  }
  return nullptr;
}

}  // namespace

bool SheetXmlScanner::ScanKnownStartTag() {
  if (shapes_.empty() || root_closed_) return false;
  const char* data = data_;
  const char* name = data + position_ + 1;
  std::uint64_t head = LoadWord(name);
  std::size_t count = shapes_.size();
  std::size_t first = kMaxShapes;
  std::size_t second = kMaxShapes;
  if (last_shape_ < count) {
    first = shapes_[last_shape_]->successors[0];
    second = shapes_[last_shape_]->successors[1];
  }
  for (std::size_t tried = 0; tried < count + 2; ++tried) {
    std::size_t index = tried == 0 ? first : tried == 1 ? second : tried - 2;
    if (index >= count || (tried >= 2 && (index == first || index == second)) ||
        ((head ^ shape_heads_[index]) & shape_head_masks_[index]) != 0) {
      continue;
    }
    TagShape& shape = *shapes_[index];
    bool self_closing = false;
    const char* end = MatchShape(name, shape.text.data(), shape.name_length, shape.segments,
                                 shape.attributes.data(), self_closing);
    if (end == nullptr) continue;
    if (last_shape_ < count) {
      std::size_t* successors = shapes_[last_shape_]->successors;
      if (successors[0] != index) {
        successors[1] = successors[0];
        successors[0] = index;
      }
    }
    last_shape_ = index;
    resume_ = 0;
    std::string_view local(shape.text.data() + shape.local, shape.name_length - shape.local);
    if (!self_closing && shape.segments.empty() && TextElementAfter(end, shape)) return true;
    position_ = static_cast<std::size_t>(end - data);
    if (!self_closing) Open(name, shape.name_length, shape.local);
    Handle(local, shape.attributes.data(), shape.attributes.size(), self_closing);
    return true;
  }
  return false;
}

// "<NAME>TEXT</NAME>" with plain TEXT, the tag at position_ matched by a
// shape without attributes and `text` just past it: taken in one step.
bool SheetXmlScanner::TextElementAfter(const char* text, const TagShape& shape) {
  if (open_starts_.empty()) return false;
  const char* at = text;
  while (kByteClasses[static_cast<unsigned char>(*at)] == kPlain) ++at;
  std::size_t length = shape.name_length;
  if (at[0] != '<' || at[1] != '/' || !SameWords(at + 2, shape.text.data(), length) ||
      at[length + 2] != '>') {
    return false;
  }
  try {
    handler_.TextElement(std::string_view(shape.text.data() + shape.local, length - shape.local),
                         std::string_view(text, static_cast<std::size_t>(at - text)));
  } catch (const XmlContentError& error) {
    Rethrow(error);
  }
  position_ = static_cast<std::size_t>(at - data_) + length + 3;
  return true;
}

void SheetXmlScanner::Open(const char* name, std::size_t length, std::size_t local) {
  if (open_names_capacity_ - open_names_size_ < length) {
    std::size_t capacity = std::max<std::size_t>(open_names_capacity_ * 2, open_names_size_ + length + 64);
    // Slack after the names: the top one is compared a word at a time.
    auto grown = std::make_unique<char[]>(capacity + kSlack);
    if (open_names_size_ != 0) std::memcpy(grown.get(), open_names_.get(), open_names_size_);
    open_names_ = std::move(grown);
    open_names_capacity_ = capacity;
  }
  open_starts_.push_back({open_names_size_, local});
  std::memcpy(open_names_.get() + open_names_size_, name, length);
  open_names_size_ += length;
}

// "</NAME>" closing the element open last, the commonest end tag.
bool SheetXmlScanner::ScanKnownEndTag() {
  if (open_starts_.empty()) return false;
  const char* data = data_;
  const char* name = data + position_ + 2;
  OpenElement top = open_starts_.back();
  const char* open = open_names_.get() + top.start;
  std::size_t length = open_names_size_ - top.start;
  if (!SameWords(name, open, length) || name[length] != '>') return false;
  resume_ = 0;
  position_ += length + 3;
  open_names_size_ = top.start;
  open_starts_.pop_back();
  // The name stays in open_names_ until the next element opens.
  try {
    handler_.EndElement(std::string_view(open + top.local, length - top.local));
  } catch (const XmlContentError& error) {
    Rethrow(error);
  }
  if (open_starts_.empty()) root_closed_ = true;
  return true;
}

std::size_t SheetXmlScanner::EndTag(std::size_t begin) {
  const char* data = data_;
  const char* limit = data + size_;
  const char* name = data + begin + 2;
  if (name == limit) return 0;
  if (!IsNameStart(*name)) Malformed(kInvalidToken);
  const char* name_end = SkipName(name);
  std::uint64_t lines = 0;
  const char* at = SkipBlanks(name_end, lines);
  if (at == limit) return 0;
  if (*at != '>') Malformed(kInvalidToken);
  line_ += lines;
  if (open_starts_.empty()) Malformed(root_closed_ ? "junk after document element" : "syntax error");
  std::size_t length = static_cast<std::size_t>(name_end - name);
  std::size_t top = open_starts_.back().start;
  if (!SameBytes(name, length, open_names_.get() + top, open_names_size_ - top)) {
    Malformed("mismatched tag");
  }
  open_names_size_ = top;
  open_starts_.pop_back();
  try {
    handler_.EndElement(LocalPart(name, name_end));
  } catch (const XmlContentError& error) {
    Rethrow(error);
  }
  if (open_starts_.empty()) root_closed_ = true;
  return static_cast<std::size_t>(at - data) + 1;
}

// "<NAME>TEXT</NAME>" with plain TEXT, most of a sheet's bytes ("<v>12</v>",
// "<text:p>Ann</text:p>"), in one step. Anything else, or a token not whole
// yet, is left to the general path.
bool SheetXmlScanner::ScanPlainElement() {
  if (open_starts_.empty()) return false;
  const char* data = data_;
  const char* limit = data + size_;  // *limit is NUL: every loop below stops there
  const char* name = data + position_ + 1;
  const char* name_end = SkipName(name);
  if (*name_end != '>') return false;
  std::size_t length = static_cast<std::size_t>(name_end - name);
  const char* text = name_end + 1;
  const char* at = text;
  while (kByteClasses[static_cast<unsigned char>(*at)] == kPlain) ++at;
  if (static_cast<std::size_t>(limit - at) < length + 3 || at[0] != '<' || at[1] != '/' ||
      !SameBytes(at + 2, length, name, length) || at[length + 2] != '>') {
    return false;
  }
  spans_.clear();
  Learn(name, name_end, name_end);
  try {
    handler_.TextElement(LocalPart(name, name_end),
                         std::string_view(text, static_cast<std::size_t>(at - text)));
  } catch (const XmlContentError& error) {
    Rethrow(error);
  }
  position_ = static_cast<std::size_t>(at - data) + length + 3;
  return true;
}

// Comments, processing instructions, CDATA sections and declarations.
bool SheetXmlScanner::ScanMarkup() {
  std::string_view rest(data_ + position_, size_ - position_);
  // 1 when `rest` starts with `prefix`, 0 when it cannot, -1 when too short to tell.
  auto starts = [&rest](std::string_view prefix) {
    std::size_t n = std::min(prefix.size(), rest.size());
    if (rest.substr(0, n) != prefix.substr(0, n)) return 0;
    return n == prefix.size() ? 1 : -1;
  };
  std::string_view opening;
  std::string_view closing;
  for (auto [open, close] : {std::pair<std::string_view, std::string_view>{"<?", "?>"},
                             {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<!DOCTYPE", ">"}}) {
    int match = starts(open);
    if (match < 0) return false;
    if (match > 0) {
      opening = open;
      closing = close;
      break;
    }
  }
  if (opening.empty()) Malformed(kInvalidToken);
  if (opening == "<!DOCTYPE") Rethrow(XmlContentError("document type declarations are not allowed"));
  std::size_t from = std::max(opening.size(), resume_);
  std::size_t close = rest.find(closing, from);
  if (close == std::string_view::npos) {
    resume_ = rest.size() > closing.size() ? rest.size() - closing.size() + 1 : 0;
    return false;
  }
  resume_ = 0;
  char* body = data_ + position_ + opening.size();
  char* body_end = data_ + position_ + close;
  if (opening == "<![CDATA[") {
    if (open_starts_.empty()) Malformed(kInvalidToken);
    Deliver(body, body_end, true);
  } else {
    if (opening == "<?") CheckInstruction(body, body_end);
    line_ += static_cast<std::uint64_t>(std::count(body, body_end, '\n'));
  }
  position_ += close + closing.size();
  return true;
}

void SheetXmlScanner::CheckInstruction(const char* begin, const char* end) const {
  const char* at = begin;
  if (at == end || !IsNameStart(*at)) Malformed(kInvalidToken);
  while (at < end && IsNameByte(*at)) ++at;
  std::string target(begin, at);
  std::transform(target.begin(), target.end(), target.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (target == "xml" && anything_seen_) {
    Malformed("XML or text declaration not at start of entity");
  }
  if (at < end && !IsSpace(*at)) Malformed(kInvalidToken);
}

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// True when the document does not start as UTF-8: a UTF-16 start, or an
// XML declaration naming another encoding.
bool NeedsExpat(std::string_view head) {
  if (head.size() >= 2 && (head[0] == '\0' || head[1] == '\0' ||
                           head.substr(0, 2) == "\xFE\xFF" || head.substr(0, 2) == "\xFF\xFE")) {
    return true;
  }
  if (head.substr(0, 3) == "\xEF\xBB\xBF") head.remove_prefix(3);
  if (head.substr(0, 5) != "<?xml" || head.size() < 6 || !IsSpace(head[5])) return false;
  std::string_view declaration = head.substr(0, head.find("?>"));
  std::size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return false;
  at += 8;
  while (at < declaration.size() && (IsSpace(declaration[at]) || declaration[at] == '=')) ++at;
  if (at >= declaration.size()) return true;
  char quote = declaration[at];
  std::size_t close = declaration.find(quote, at + 1);
  if (close == std::string_view::npos) return true;
  return !EqualsIgnoringCase(declaration.substr(at + 1, close - at - 1), "utf-8");
}

// Hands expat's events on as the scanner's.
class ExpatAdapter : public XmlHandler {
 public:
  explicit ExpatAdapter(SheetXmlHandler& handler) : handler_(handler) {}
  void StartElement(std::string_view name, const char** attributes) override {
    attributes_.clear();
    for (const char** at = attributes; *at != nullptr; at += 2) {
      XmlName name = SplitXmlName(at[0]);
      attributes_.push_back({name.local, at[1], name.prefix});
    }
    handler_.StartElement(name, attributes_.data(), attributes_.size());
  }
  void EndElement(std::string_view name) override { handler_.EndElement(name); }
  void Text(std::string_view text) override { handler_.Text(text); }

 private:
  SheetXmlHandler& handler_;
  std::vector<XmlAttribute> attributes_;
};

}  // namespace

void ScanSheetXmlPart(const ZipArchive& archive, std::string_view part, std::uint64_t max_bytes,
                      SheetXmlHandler& handler) {
  ExpatAdapter adapter(handler);
  std::string place = archive.label() + ": " + std::string(part);
  // Inflating runs a few pieces ahead on a thread of its own.
  PartPrefetcher pieces(archive.OpenPart(part, max_bytes), kChunkBytes, 4, kPieceHeadroom,
                        SheetXmlScanner::kTailRoom);
  // The first piece tells which parser reads the part.
  PartPrefetcher::Piece first = pieces.NextWritable();
  std::string_view piece(first.data, first.size);
  if (NeedsExpat(piece)) {
    ExpatPieceParser expat(place, adapter);
    for (; !piece.empty(); piece = pieces.Next()) expat.Feed(piece);
    expat.Finish();
    return;
  }
  SheetXmlScanner scanner(place, handler);
  for (PartPrefetcher::Piece writable = first; writable.size != 0;
       writable = pieces.NextWritable()) {
    scanner.FeedInPlace(writable.data, writable.size, kPieceHeadroom);
  }
  scanner.Finish();
}

}  // namespace pelorin::workbook
