// A streaming XML scanner for worksheet parts: the plain UTF-8 XML that
// spreadsheet writers emit, checked for well-formedness, fed piece by piece.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/xml_stream.h"
#include "workbook/zip_archive.h"

namespace pelorin::workbook {

// Hands the same events as expat to an XmlHandler (local names, attributes
// NUL-terminated, entities and character references decoded, CDATA as
// text), several times faster since it knows no DTDs and no encoding but
// UTF-8. Pieces may split any token. Throws WorkbookError "PLACE: line N:
// malformed XML: WHAT" for a document expat would refuse, and "PLACE: line
// N: WHAT" for an XmlContentError from the handler.
class SheetXmlScanner {
 public:
  SheetXmlScanner(std::string place, XmlHandler& handler);

  void Feed(std::string_view piece);
  void Finish();

 private:
  void Scan(bool final);
  // Each returns false when its token is not whole in the buffer yet.
  bool ScanText(bool final);
  bool ScanToken(bool final);
  bool ScanMarkup();
  void StartTag(char* begin, char* end);
  void EndTag(char* begin, char* end);
  void CheckInstruction(const char* begin, const char* end) const;
  void Deliver(char* begin, char* end, bool cdata);
  // Decode in place and return the new end: the decoded text is never longer.
  char* Decode(char* read, char* end, bool attribute);
  char* DecodeCData(char* read, char* end);
  char* DecodeReference(char* read, char* end, char*& write);
  std::uint32_t CharacterNumber(std::string_view digits) const;
  bool SkipSpace(char*& at);
  [[noreturn]] void Malformed(const char* what) const;
  [[noreturn]] void Rethrow(const XmlContentError& error) const;

  std::string place_;
  XmlHandler& handler_;
  std::string buffer_;
  std::size_t position_ = 0;
  // Where the search for the end of the pending token resumes, from
  // position_, and whether it stopped inside a quoted value.
  std::size_t resume_ = 0;
  char resume_quote_ = 0;
  std::uint64_t line_ = 1;
  // The open elements' qualified names, one after another.
  std::string open_names_;
  std::vector<std::size_t> open_starts_;
  std::vector<const char*> attributes_;
  bool root_seen_ = false;
  bool root_closed_ = false;
  bool anything_seen_ = false;
};

// Streams a worksheet part through SheetXmlScanner, or through expat when
// the part declares an encoding other than UTF-8 or starts as UTF-16.
void ScanSheetXmlPart(const ZipArchive& archive, std::string_view part, std::uint64_t max_bytes,
                      XmlHandler& handler);

}  // namespace pelorin::workbook
