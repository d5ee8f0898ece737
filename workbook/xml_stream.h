// Streams one XML part of a zip package through expat into a handler, with
// errors that name the package, the part and the line.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "workbook/zip_archive.h"

namespace pelorin::workbook {

// Thrown by a handler for content it cannot use; the stream adds the place.
class XmlContentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Element and attribute names arrive as local names, prefixes dropped, so
// prefixed and unprefixed documents read alike.
class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void StartElement(std::string_view name, const char** attributes) = 0;
  virtual void EndElement(std::string_view name) = 0;
  virtual void Text(std::string_view text) = 0;
};

// An attribute name split into its prefix (empty when none) and local name.
struct XmlName {
  std::string_view prefix;
  std::string_view local;
};
XmlName SplitXmlName(const char* name);

// The attribute's value by local name, or nullptr.
const char* FindAttribute(const char** attributes, std::string_view name);

// Expat fed a document piece by piece; `place` ("book.xlsx: xl/styles.xml")
// starts its errors, which are WorkbookErrors as ParseXmlPart's.
class ExpatPieceParser {
 public:
  ExpatPieceParser(std::string place, XmlHandler& handler);
  ~ExpatPieceParser();
  ExpatPieceParser(const ExpatPieceParser&) = delete;
  ExpatPieceParser& operator=(const ExpatPieceParser&) = delete;

  void Feed(std::string_view piece);
  void Finish();

 private:
  struct State;
  [[noreturn]] void Fail();
  std::unique_ptr<State> state_;
};

// Parses the part; throws WorkbookError for a missing or malformed part, a
// document type declaration, or an XmlContentError from the handler.
void ParseXmlPart(const ZipArchive& archive, std::string_view part, std::uint64_t max_bytes,
                  XmlHandler& handler);

}  // namespace pelorin::workbook
