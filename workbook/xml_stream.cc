#include "workbook/xml_stream.h"

#include <expat.h>

#include <exception>
#include <memory>
#include <string>

#include "workbook/workbook.h"

namespace pelorin::workbook {
namespace {

// Names are matched by their local part after the prefix. Expat's own
// namespace processing would be exact but costs a third of the parse on a
// large sheet, and the writers of these formats keep to the usual prefixes.
std::string_view LocalName(const char* name) {
  const char* at = name;
  const char* local = name;
  for (; *at != '\0'; ++at) {
    if (*at == ':') local = at + 1;
  }
  return std::string_view(local, static_cast<std::size_t>(at - local));
}

// Expat is C: nothing may unwind through it. Each callback keeps the first
// exception and stops the parser; the caller rethrows it.
struct Session {
  XML_Parser parser;
  XmlHandler& handler;
  std::exception_ptr failure;

  template <typename Call>
  void Guard(Call call) {
    if (failure) return;
    try {
      call();
    } catch (...) {
      failure = std::current_exception();
      XML_StopParser(parser, XML_FALSE);
    }
  }
};

void OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto* session = static_cast<Session*>(data);
  session->Guard([&] { session->handler.StartElement(LocalName(name), attributes); });
}

void OnEnd(void* data, const XML_Char* name) {
  auto* session = static_cast<Session*>(data);
  session->Guard([&] { session->handler.EndElement(LocalName(name)); });
}

void OnText(void* data, const XML_Char* text, int length) {
  auto* session = static_cast<Session*>(data);
  session->Guard([&] { session->handler.Text(std::string_view(text, length)); });
}

void OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  auto* session = static_cast<Session*>(data);
  session->Guard([] { throw XmlContentError("document type declarations are not allowed"); });
}

struct ParserFree {
  void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

}  // namespace

XmlName SplitXmlName(const char* name) {
  std::string_view full(name);
  std::size_t split = full.rfind(':');
  if (split == std::string_view::npos) return {{}, full};
  return {full.substr(0, split), full.substr(split + 1)};
}

const char* FindAttribute(const char** attributes, std::string_view name) {
  for (const char** at = attributes; *at != nullptr; at += 2) {
    if (LocalName(at[0]) == name) return at[1];
  }
  return nullptr;
}

struct ExpatPieceParser::State {
  std::unique_ptr<XML_ParserStruct, ParserFree> parser;
  Session session;
  std::string place;
};

ExpatPieceParser::ExpatPieceParser(std::string place, XmlHandler& handler) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (parser == nullptr) throw WorkbookError(place + ": out of memory for XML");
  state_.reset(new State{std::unique_ptr<XML_ParserStruct, ParserFree>(parser),
                         Session{parser, handler, nullptr}, std::move(place)});
  XML_SetUserData(parser, &state_->session);
  XML_SetElementHandler(parser, OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser, OnText);
  XML_SetStartDoctypeDeclHandler(parser, OnDoctype);
}

ExpatPieceParser::~ExpatPieceParser() = default;

void ExpatPieceParser::Fail() {
  XML_Parser parser = state_->parser.get();
  std::string line = std::to_string(XML_GetCurrentLineNumber(parser));
  if (state_->session.failure) {
    try {
      std::rethrow_exception(state_->session.failure);
    } catch (const XmlContentError& error) {
      throw WorkbookError(state_->place + ": line " + line + ": " + error.what());
    }
  }
  throw WorkbookError(state_->place + ": line " + line +
                      ": malformed XML: " + XML_ErrorString(XML_GetErrorCode(parser)));
}

void ExpatPieceParser::Feed(std::string_view piece) {
  if (XML_Parse(state_->parser.get(), piece.data(), static_cast<int>(piece.size()), XML_FALSE) !=
      XML_STATUS_OK) {
    Fail();
  }
}

void ExpatPieceParser::Finish() {
  if (XML_Parse(state_->parser.get(), nullptr, 0, XML_TRUE) != XML_STATUS_OK) Fail();
}

void ParseXmlPart(const ZipArchive& archive, std::string_view part, std::uint64_t max_bytes,
                  XmlHandler& handler) {
  ExpatPieceParser parser(archive.label() + ": " + std::string(part), handler);
  archive.Stream(part, max_bytes, [&](std::string_view chunk) { parser.Feed(chunk); });
  parser.Finish();
}

}  // namespace pelorin::workbook
