// A streaming XML scanner for worksheet parts: the plain UTF-8 XML that
// spreadsheet writers emit, checked for well-formedness, fed piece by piece.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/xml_stream.h"
#include "workbook/zip_archive.h"

namespace pelorin::workbook {

// An attribute as the scanner hands it over: local name, decoded value,
// and the prefix (empty when none) for the few readers that tell apart
// attributes of one local name, as office:value-type and calcext:value-type.
struct XmlAttribute {
  std::string_view name;
  std::string_view value;
  std::string_view prefix;
};

// What a worksheet reader is told; names are local names, prefixes dropped.
class SheetXmlHandler {
 public:
  virtual ~SheetXmlHandler() = default;
  virtual void StartElement(std::string_view name, const XmlAttribute* attributes,
                            std::size_t count) = 0;
  virtual void EndElement(std::string_view name) = 0;
  virtual void Text(std::string_view text) = 0;
  // An element with no attributes holding nothing but plain text
  // ("<v>12</v>", "<text:p>Ann</text:p>"), told in one call.
  virtual void TextElement(std::string_view name, std::string_view text) {
    StartElement(name, nullptr, 0);
    if (!text.empty()) Text(text);
    EndElement(name);
  }
};

// The value of the attribute by local name; a null view when absent.
std::string_view FindXmlAttribute(const XmlAttribute* attributes, std::size_t count,
                                  std::string_view name);

// Hands the events expat would to a SheetXmlHandler (entities and
// character references decoded, CDATA as text), several times faster since
// it knows no DTDs and no encoding but UTF-8. Pieces may split any token.
// Throws WorkbookError "PLACE: line N: malformed XML: WHAT" for a document
// expat would refuse, and "PLACE: line N: WHAT" for an XmlContentError from
// the handler.
class SheetXmlScanner {
 public:
  SheetXmlScanner(std::string place, SheetXmlHandler& handler);
  ~SheetXmlScanner();

  void Feed(std::string_view piece);
  // Feeds a piece scanned where it lies, without copying it: `headroom`
  // bytes before it and kTailRoom after it are the scanner's to write, and
  // the piece is written to (values decoded in place).
  void FeedInPlace(char* piece, std::size_t size, std::size_t headroom);
  void Finish();

  static constexpr std::size_t kTailRoom = 32;

 private:
  // Room for `size` more bytes after the pending ones, to be filled and
  // then scanned by Commit.
  char* Room(std::size_t size);
  void Commit(std::size_t size);
  void Keep();
  void Scan(bool final);
  // Each returns false when its token is not whole in the buffer yet.
  bool ScanText(bool final);
  bool ScanToken();
  bool ScanMarkup();
  bool ScanPlainElement();
  // Each returns the offset just past the tag, or 0 when it is not whole.
  std::size_t StartTag(std::size_t begin);
  std::size_t EndTag(std::size_t begin);
  // The start or end tag at position_ when it is of a known layout, taken by
  // comparing bytes; false leaves it to the general path.
  bool ScanKnownStartTag();
  bool ScanKnownEndTag();
  struct TagShape;
  bool TextElementAfter(const char* text, const TagShape& shape);
  void Learn(const char* name, const char* name_end, const char* close);
  void Handle(std::string_view local, const XmlAttribute* attributes, std::size_t count,
              bool self_closing);
  void CheckInstruction(const char* begin, const char* end) const;
  void Deliver(char* begin, char* end, bool cdata);
  // Decode in place and return the new end: the decoded text is never longer.
  char* Decode(char* read, char* end, bool attribute);
  char* DecodeCData(char* read, char* end);
  char* DecodeReference(char* read, char* end, char*& write);
  void Open(const char* name, std::size_t length, std::size_t local);
  std::uint32_t CharacterNumber(std::string_view digits) const;
  [[noreturn]] void Malformed(const char* what) const;
  [[noreturn]] void Rethrow(const XmlContentError& error) const;

  std::string place_;
  SheetXmlHandler& handler_;
  // The bytes not scanned yet, with a NUL after them that ends every loop
  // over a token: in buffer_, or in a piece fed in place while it is scanned.
  char* data_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  std::size_t position_ = 0;
  // How much of the pending token, from position_, was seen already: only
  // what came since can complete it.
  std::size_t resume_ = 0;
  std::uint64_t line_ = 1;
  // The open elements' qualified names, one after another, in a buffer
  // grown by hand: an element is opened for every cell.
  std::unique_ptr<char[]> open_names_;
  std::size_t open_names_size_ = 0;
  std::size_t open_names_capacity_ = 0;
  struct OpenElement {
    std::size_t start;  // in open_names_
    std::size_t local;  // where its local name starts, from `start`
  };
  std::vector<OpenElement> open_starts_;
  // A start tag's attributes: where their names and values lie in the
  // buffer while the tag is checked, then as handed over.
  struct AttributeSpan {
    std::size_t name;
    std::size_t name_end;
    std::size_t value;
    std::size_t value_end;
  };
  std::vector<AttributeSpan> spans_;
  std::vector<XmlAttribute> attributes_;
  // Start tags written plainly (the name, then ` name="value"` for each
  // attribute, then `>` or `/>`), as every cell of a sheet is: a tag laid
  // out as one seen before has the same names, so it is checked by
  // comparing bytes and its values alone are scanned. A sheet's rows repeat
  // a few layouts in turn, so each remembers the two that followed it last.
  static constexpr std::size_t kMaxShapes = 16;
  std::vector<std::unique_ptr<TagShape>> shapes_;
  // Each shape's first word and the bits of it that come before its first
  // value, side by side so that layouts are told apart without visiting them.
  std::uint64_t shape_heads_[kMaxShapes] = {};
  std::uint64_t shape_head_masks_[kMaxShapes] = {};
  std::size_t next_shape_slot_ = 0;
  std::string learning_;  // a layout's text while it is learnt
  std::size_t last_shape_ = kMaxShapes;  // none
  bool root_seen_ = false;
  bool root_closed_ = false;
  bool anything_seen_ = false;
  bool bom_checked_ = false;
};

// Streams a worksheet part through SheetXmlScanner, or through expat when
// the part declares an encoding other than UTF-8 or starts as UTF-16.
void ScanSheetXmlPart(const ZipArchive& archive, std::string_view part, std::uint64_t max_bytes,
                      SheetXmlHandler& handler);

}  // namespace pelorin::workbook
