#include "workbook/sheet_xml_scanner.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "workbook/workbook.h"

namespace pelorin::workbook {
namespace {

constexpr const char* kInvalidToken = "not well-formed (invalid token)";

// A text run with no '<' in sight is handed over in pieces once it is this
// long, so one huge cell cannot hold the whole part in the buffer.
constexpr std::size_t kLongText = 64 * 1024;

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

std::string_view LocalPart(const char* begin, const char* end) {
  const char* local = begin;
  for (const char* at = begin; at < end; ++at) {
    if (*at == ':') local = at + 1;
  }
  return std::string_view(local, static_cast<std::size_t>(end - local));
}

bool LooksLikeName(std::string_view text) {
  if (text.empty() || !IsNameStart(text[0])) return false;
  return std::all_of(text.begin(), text.end(), IsNameByte);
}

}  // namespace

SheetXmlScanner::SheetXmlScanner(std::string place, XmlHandler& handler)
    : place_(std::move(place)), handler_(handler) {}

void SheetXmlScanner::Malformed(const char* what) const {
  throw WorkbookError(place_ + ": line " + std::to_string(line_) + ": malformed XML: " + what);
}

void SheetXmlScanner::Rethrow(const XmlContentError& error) const {
  throw WorkbookError(place_ + ": line " + std::to_string(line_) + ": " + error.what());
}

void SheetXmlScanner::Feed(std::string_view piece) {
  buffer_.append(piece);
  Scan(false);
  buffer_.erase(0, position_);
  position_ = 0;
}

void SheetXmlScanner::Finish() {
  Scan(true);
  if (!root_seen_ || !open_starts_.empty()) Malformed("no element found");
}

void SheetXmlScanner::Scan(bool final) {
  while (position_ < buffer_.size()) {
    bool done = buffer_[position_] == '<' ? ScanToken(final) : ScanText(final);
    if (!done) break;
    anything_seen_ = true;
  }
  if (final && position_ < buffer_.size()) Malformed("unclosed token");
}

bool SheetXmlScanner::ScanText(bool final) {
  char* data = buffer_.data();
  std::size_t size = buffer_.size();
  const void* less = std::memchr(data + position_, '<', size - position_);
  std::size_t end = less != nullptr ? static_cast<std::size_t>(static_cast<const char*>(less) - data)
                                    : size;
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

bool SheetXmlScanner::ScanToken(bool) {
  char* data = buffer_.data();
  std::size_t size = buffer_.size();
  if (size - position_ < 2) return false;
  char kind = data[position_ + 1];
  if (kind == '!' || kind == '?') return ScanMarkup();
  // The tag ends at the first '>' outside a quoted value; the search picks
  // up where the last piece left it.
  std::size_t at = position_ + std::max<std::size_t>(1, resume_);
  char quote = resume_quote_;
  for (; at < size; ++at) {
    char c = data[at];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      break;
    }
  }
  if (at == size) {
    resume_ = at - position_;
    resume_quote_ = quote;
    return false;
  }
  resume_ = 0;
  resume_quote_ = 0;
  if (kind == '/') {
    EndTag(data + position_, data + at);
  } else {
    StartTag(data + position_, data + at);
  }
  position_ = at + 1;
  return true;
}

// Skips white space, counting lines; true when there was some.
bool SheetXmlScanner::SkipSpace(char*& at) {
  char* start = at;
  while (IsSpace(*at)) {
    if (*at == '\n') ++line_;
    ++at;
  }
  return at != start;
}

void SheetXmlScanner::StartTag(char* begin, char* end) {
  if (root_closed_) Malformed("junk after document element");
  char* at = begin + 1;
  if (!IsNameStart(*at)) Malformed(kInvalidToken);
  while (IsNameByte(*at)) ++at;
  char* name_end = at;
  attributes_.clear();
  bool self_closing = false;
  for (;;) {
    bool spaced = SkipSpace(at);
    if (at == end) break;
    if (*at == '/') {
      if (at + 1 != end) Malformed(kInvalidToken);
      self_closing = true;
      break;
    }
    if (!spaced || !IsNameStart(*at)) Malformed(kInvalidToken);
    char* attribute = at;
    while (IsNameByte(*at)) ++at;
    char* attribute_end = at;
    SkipSpace(at);
    if (*at != '=') Malformed(kInvalidToken);
    ++at;
    SkipSpace(at);
    char quote = *at;
    if (quote != '"' && quote != '\'') Malformed(kInvalidToken);
    char* value = ++at;
    char* close = static_cast<char*>(std::memchr(value, quote, static_cast<std::size_t>(end - value)));
    if (close == nullptr) Malformed(kInvalidToken);
    char* value_end = Decode(value, close, true);
    *attribute_end = '\0';
    *value_end = '\0';
    for (std::size_t i = 0; i < attributes_.size(); i += 2) {
      if (std::strcmp(attributes_[i], attribute) == 0) Malformed("duplicate attribute");
    }
    attributes_.push_back(attribute);
    attributes_.push_back(value);
    at = close + 1;
  }
  attributes_.push_back(nullptr);
  root_seen_ = true;
  std::string_view local = LocalPart(begin + 1, name_end);
  if (!self_closing) {
    open_starts_.push_back(open_names_.size());
    open_names_.append(begin + 1, name_end);
  }
  try {
    handler_.StartElement(local, attributes_.data());
    if (self_closing) handler_.EndElement(local);
  } catch (const XmlContentError& error) {
    Rethrow(error);
  }
  if (open_starts_.empty()) root_closed_ = true;
}

void SheetXmlScanner::EndTag(char* begin, char* end) {
  char* at = begin + 2;
  if (!IsNameStart(*at)) Malformed(kInvalidToken);
  while (IsNameByte(*at)) ++at;
  char* name_end = at;
  SkipSpace(at);
  if (at != end) Malformed(kInvalidToken);
  if (open_starts_.empty()) Malformed(root_closed_ ? "junk after document element" : "syntax error");
  std::string_view name(begin + 2, static_cast<std::size_t>(name_end - begin - 2));
  if (std::string_view(open_names_).substr(open_starts_.back()) != name) Malformed("mismatched tag");
  open_names_.resize(open_starts_.back());
  open_starts_.pop_back();
  try {
    handler_.EndElement(LocalPart(name.data(), name.data() + name.size()));
  } catch (const XmlContentError& error) {
    Rethrow(error);
  }
  if (open_starts_.empty()) root_closed_ = true;
}

// Comments, processing instructions, CDATA sections and declarations.
bool SheetXmlScanner::ScanMarkup() {
  std::string_view rest(buffer_.data() + position_, buffer_.size() - position_);
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
  char* body = buffer_.data() + position_ + opening.size();
  char* body_end = buffer_.data() + position_ + close;
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

}  // namespace

void ScanSheetXmlPart(const ZipArchive& archive, std::string_view part, std::uint64_t max_bytes,
                      XmlHandler& handler) {
  std::string place = archive.label() + ": " + std::string(part);
  std::unique_ptr<SheetXmlScanner> scanner;
  std::unique_ptr<ExpatPieceParser> expat;
  std::string head;
  // The first kilobyte tells which parser reads the part.
  auto choose = [&] {
    if (NeedsExpat(head)) {
      expat = std::make_unique<ExpatPieceParser>(place, handler);
      expat->Feed(head);
    } else {
      scanner = std::make_unique<SheetXmlScanner>(place, handler);
      std::string_view start(head);
      if (start.substr(0, 3) == "\xEF\xBB\xBF") start.remove_prefix(3);
      scanner->Feed(start);
    }
    head = std::string();
  };
  archive.Stream(part, max_bytes, [&](std::string_view chunk) {
    if (scanner != nullptr) {
      scanner->Feed(chunk);
    } else if (expat != nullptr) {
      expat->Feed(chunk);
    } else {
      head.append(chunk);
      if (head.size() >= 1024) choose();
    }
  });
  if (scanner == nullptr && expat == nullptr) choose();
  if (scanner != nullptr) {
    scanner->Finish();
  } else {
    expat->Finish();
  }
}

}  // namespace pelorin::workbook
