// The worksheet scanner against expat on the same document, cut into three
// pieces where the first byte says: whatever expat reads, the scanner must
// read to the same events, whether the pieces are copied or scanned where
// they lie. (The scanner may refuse less: it does not check names'
// characters, "--" in comments or "]]>" in text.)
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "workbook/sheet_xml_scanner.h"
#include "workbook/workbook.h"
#include "workbook/xml_stream.h"

namespace {

using namespace pelorin::workbook;

struct Recorder : SheetXmlHandler, XmlHandler {
  std::string events;
  void StartElement(std::string_view name, const XmlAttribute* attributes,
                    std::size_t count) override {
    events += "<" + std::string(name);
    for (std::size_t i = 0; i < count; ++i) {
      events += " " + std::string(attributes[i].prefix) + ":" + std::string(attributes[i].name) + "=[" +
                std::string(attributes[i].value) + "]";
    }
    events += ">";
  }
  void StartElement(std::string_view name, const char** attributes) override {
    events += "<" + std::string(name);
    for (const char** at = attributes; *at != nullptr; at += 2) {
      XmlName qualified = SplitXmlName(at[0]);
      events += " " + std::string(qualified.prefix) + ":" + std::string(qualified.local) + "=[" + at[1] + "]";
    }
    events += ">";
  }
  void EndElement(std::string_view name) override { events += "</" + std::string(name) + ">"; }
  void Text(std::string_view text) override { events += text; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::string xml(reinterpret_cast<const char*>(data) + 1, size - 1);
  // Other encodings go to expat before the scanner sees them.
  if (xml.find("encoding") != std::string::npos) return 0;
  Recorder expat_events;
  try {
    ExpatPieceParser expat("f.xml", expat_events);
    expat.Feed(xml);
    expat.Finish();
  } catch (const WorkbookError&) {
    return 0;
  }
  std::size_t cut = xml.empty() ? 0 : data[0] % (xml.size() + 1);
  Recorder scanner_events;
  try {
    SheetXmlScanner scanner("f.xml", scanner_events);
    scanner.Feed(std::string_view(xml).substr(0, cut));
    scanner.Feed(std::string_view(xml).substr(cut, cut));
    scanner.Feed(std::string_view(xml).substr(std::min(xml.size(), 2 * cut)));
    scanner.Finish();
  } catch (const WorkbookError&) {
    std::abort();  // expat read it
  }
  if (scanner_events.events != expat_events.events) std::abort();
  // The same pieces scanned where they lie, with a little room before each
  // for what is left of the one before (or too little, so it is copied).
  Recorder in_place_events;
  try {
    SheetXmlScanner scanner("f.xml", in_place_events);
    std::size_t headroom = data[0] % 8;
    for (std::string_view piece : {std::string_view(xml).substr(0, cut), std::string_view(xml).substr(cut, cut),
                                   std::string_view(xml).substr(std::min(xml.size(), 2 * cut))}) {
      std::vector<char> buffer(headroom + piece.size() + SheetXmlScanner::kTailRoom);
      std::copy(piece.begin(), piece.end(), buffer.begin() + static_cast<std::ptrdiff_t>(headroom));
      scanner.FeedInPlace(buffer.data() + headroom, piece.size(), headroom);
    }
    scanner.Finish();
  } catch (const WorkbookError&) {
    std::abort();
  }
  if (in_place_events.events != expat_events.events) std::abort();
  return 0;
}
