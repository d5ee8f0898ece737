#include "workbook/sheet_xml_scanner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "workbook/workbook.h"
#include "workbook/xml_stream.h"

namespace pelorin::workbook {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// Writes every event down; texts told in several pieces are joined, since
// where a parser splits them is its own business.
class Transcript {
 public:
  void Start(std::string_view name, const std::vector<std::pair<std::string, std::string>>& attrs) {
    text_ += "<" + std::string(name);
    for (const auto& [key, value] : attrs) text_ += " " + key + "=[" + value + "]";
    text_ += ">";
  }
  void End(std::string_view name) { text_ += "</" + std::string(name) + ">"; }
  void Text(std::string_view text) { text_ += text; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

std::string Qualified(std::string_view prefix, std::string_view local) {
  return prefix.empty() ? std::string(local) : std::string(prefix) + ":" + std::string(local);
}

class ScannerRecorder : public SheetXmlHandler {
 public:
  void StartElement(std::string_view name, const XmlAttribute* attributes,
                    std::size_t count) override {
    std::vector<std::pair<std::string, std::string>> attrs;
    for (std::size_t i = 0; i < count; ++i) {
      attrs.emplace_back(Qualified(attributes[i].prefix, attributes[i].name), attributes[i].value);
    }
    transcript.Start(name, attrs);
  }
  void EndElement(std::string_view name) override { transcript.End(name); }
  void Text(std::string_view text) override { transcript.Text(text); }
  Transcript transcript;
};

class ExpatRecorder : public XmlHandler {
 public:
  void StartElement(std::string_view name, const char** attributes) override {
    std::vector<std::pair<std::string, std::string>> attrs;
    for (const char** at = attributes; *at != nullptr; at += 2) {
      XmlName qualified = SplitXmlName(at[0]);
      attrs.emplace_back(Qualified(qualified.prefix, qualified.local), at[1]);
    }
    transcript.Start(name, attrs);
  }
  void EndElement(std::string_view name) override { transcript.End(name); }
  void Text(std::string_view text) override { transcript.Text(text); }
  Transcript transcript;
};

std::string Expat(const std::string& xml) {
  ExpatRecorder recorder;
  ExpatPieceParser parser("t.xml", recorder);
  parser.Feed(xml);
  parser.Finish();
  return recorder.transcript.text();
}

// How pieces reach the scanner: copied, or scanned where they lie with
// this much room before them for what is left of the piece before.
enum class Feeding { kCopied, kInPlaceLittleRoom, kInPlaceRoomy };

// The document cut into pieces at the given offsets.
std::string Scan(const std::string& xml, const std::vector<std::size_t>& cuts,
                 Feeding feeding = Feeding::kCopied) {
  ScannerRecorder recorder;
  SheetXmlScanner scanner("t.xml", recorder);
  auto feed = [&](std::string_view piece) {
    if (feeding == Feeding::kCopied) {
      scanner.Feed(piece);
      return;
    }
    std::size_t headroom = feeding == Feeding::kInPlaceLittleRoom ? 3 : 4096;
    // A buffer of its own for every piece, freed at once: the scanner must
    // keep nothing of it.
    std::vector<char> buffer(headroom + piece.size() + SheetXmlScanner::kTailRoom, '#');
    std::copy(piece.begin(), piece.end(), buffer.begin() + static_cast<std::ptrdiff_t>(headroom));
    scanner.FeedInPlace(buffer.data() + headroom, piece.size(), headroom);
  };
  std::size_t from = 0;
  for (std::size_t cut : cuts) {
    feed(std::string_view(xml).substr(from, cut - from));
    from = cut;
  }
  feed(std::string_view(xml).substr(from));
  scanner.Finish();
  return recorder.transcript.text();
}

constexpr Feeding kFeedings[] = {Feeding::kCopied, Feeding::kInPlaceLittleRoom, Feeding::kInPlaceRoomy};

const char* kWellFormed[] = {
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<worksheet xmlns=\"m\" xmlns:r=\"r\"><sheetData>"
    "<row r=\"1\" spans=\"1:3\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\"><v>919876543210</v></c>"
    "<c r=\"C1\" s=\"2\"><f>SUM(A1:B1)&amp;\"x\"</f><v>1.5</v></c></row>"
    "<row r='2'><c t='inlineStr' r='A2'><is><r><rPr><b/></rPr><t xml:space=\"preserve\"> a &lt;b&gt; </t></r>"
    "<r><t>&quot;&apos;&#65;&#x42;&#x10348;&#233;</t></r></is></c></row>"
    "</sheetData></worksheet>",
    "<x:worksheet xmlns:x=\"m\"><x:sheetData><x:row x:r=\"1\"><x:c r=\"B1\"><x:v>7</x:v></x:c>"
    "</x:row></x:sheetData></x:worksheet>",
    "<a\n  b = \"1\"\n\tc='x\ty\r\nz'  ><!-- a comment <c> -->text\r\nmore\rend<?pi data?>"
    "<![CDATA[<raw> & ]]><e/><f /></a>\n<!-- trailing -->\n",
    "\xEF\xBB\xBF<a>\xE6\xBC\xA2\xE5\xAD\x97 \xF0\x9F\x98\x80</a>",
    "<a v=\"&#x3c;&gt;\" w=\"&amp;amp;\"><v></v><v>1</v><v>a&amp;b</v><v>x</v >",
    "<table:table-row><table:table-cell office:value-type=\"string\" calcext:value-type=\"string\">"
    "<text:p>Customer 1</text:p><text:p></text:p><text:p>a&amp;b</text:p><text:p>x</text:p >"
    "<text:p>Zo\xC3\xAB</text:p><p>x</p><text:p>\n</text:p><text:pp>y</text:pp></table:table-cell>"
    "</table:table-row>",
};

TEST(SheetXmlScannerTest, ReadsAsExpatDoesWhereverThePiecesAreCut) {
  for (std::string xml : kWellFormed) {
    if (xml.rfind("<a v=", 0) == 0) xml += "</a>";
    std::string expected = Expat(xml);
    SCOPED_TRACE(xml);
    EXPECT_EQ(Scan(xml, {}), expected);
    for (Feeding feeding : kFeedings) {
      for (std::size_t cut = 1; cut < xml.size(); ++cut) {
        ASSERT_EQ(Scan(xml, {cut}, feeding), expected) << "cut at " << cut;
      }
    }
    std::vector<std::size_t> bytes;
    for (std::size_t at = 1; at < xml.size(); ++at) bytes.push_back(at);
    EXPECT_EQ(Scan(xml, bytes), expected) << "one byte at a time";
    EXPECT_EQ(Scan(xml, bytes, Feeding::kInPlaceLittleRoom), expected) << "one byte at a time";
  }
}

// Tags repeated in one layout are taken by comparing bytes with the first
// of them: the repeats here differ from it in their values, in a name or
// in the way they are written, and must read as expat reads them.
const char* kRepeatedLayouts[] = {
    "<t:table t:name=\"S\"><t:row t:s=\"ro1\"><t:cell o:type=\"string\" c:type=\"string\"><p>Ann</p></t:cell>"
    "<t:cell o:type=\"float\" o:value=\"919800000000\" c:type=\"float\"><p>919800000000</p></t:cell>"
    "<t:cell t:rep=\"16381\"/></t:row>"
    "<t:row t:s=\"ro1\"><t:cell o:type=\"string\" c:type=\"string\"><p>B&amp;o</p></t:cell>"
    "<t:cell o:type=\"float\" o:value=\"1&#x32;\" c:type=\"float\"><p>12</p></t:cell>"
    "<t:cell o:type=\"float\" o:value=\"\" c:type=\"float\"/><t:cell o:type='float' o:value=\"7\" c:type=\"float\"/>"
    "<t:cell o:type=\"float\"  o:value=\"8\" c:type=\"float\" /><t:cell o:type=\"float\" o:value=\"a\tb\" c:type=\"float\"/>"
    "<t:cell o:type=\"float\" o:valu=\"9\" c:type=\"float\"/><t:cell o:type=\"float\" o:value=\"9\" c:type=\"float\" x=\"1\"/>"
    "<t:cell o:type=\"float\" o:value=\"Zo\xC3\xAB\" c:type=\"float\"><p>Zo\xC3\xAB</p><p>x</p ><p></p><p/><pp>y</pp><p>a<b/></p></t:cell>"
    "<t:cell t:rep=\"2\"></t:cell><t:cell t:rep=\"3\"\n/></t:row><t:row t:s=\"ro1\"/></t:table>",
    // Root tags and empty elements of a known layout.
    "<a x=\"1\"><a x=\"2\"><a x=\"3\"/></a><b/><b/><b></b><b>t</b><b>t</b></a>",
};

TEST(SheetXmlScannerTest, RepeatedLayoutsReadAsExpatReadsThemWhereverThePiecesAreCut) {
  std::vector<std::string> documents(std::begin(kRepeatedLayouts), std::end(kRepeatedLayouts));
  // More layouts than are remembered, each repeated after the others.
  std::string many = "<a>";
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 40; ++i) many += "<c n" + std::to_string(i) + "=\"" + std::to_string(round) + "\"/>";
  }
  documents.push_back(many + "</a>");
  for (const std::string& xml : documents) {
    std::string expected = Expat(xml);
    SCOPED_TRACE(xml);
    EXPECT_EQ(Scan(xml, {}), expected);
    for (Feeding feeding : kFeedings) {
      for (std::size_t cut = 1; cut < xml.size(); ++cut) {
        ASSERT_EQ(Scan(xml, {cut}, feeding), expected) << "cut at " << cut;
      }
    }
  }
}

struct RefusalCase {
  std::string xml;
  std::string message;  // what the scanner says after "malformed XML: "
};

// Expat refuses the document, and so does the scanner with the same words,
// whole and cut anywhere into two pieces.
void ExpectRefusedAsExpatRefuses(const RefusalCase& c) {
  SCOPED_TRACE(c.xml);
  EXPECT_THROW(Expat(c.xml), WorkbookError);
  EXPECT_THAT([&] { Scan(c.xml, {}); },
              ::testing::ThrowsMessage<WorkbookError>(HasSubstr("malformed XML: " + c.message)));
  for (std::size_t cut = 1; cut < c.xml.size(); ++cut) {
    EXPECT_THROW(Scan(c.xml, {cut}), WorkbookError) << "cut at " << cut;
  }
}

TEST(SheetXmlScannerTest, ATagOfAKnownLayoutIsCheckedAsAnyOther) {
  const std::string known = "<a><c r=\"1\" s=\"2\"/><c r=\"1\" s=\"2\"/>";
  const RefusalCase cases[] = {
      {known + "<c r=\"1\" s=\"&x;\"/></a>", "undefined entity"},
      {known + "<c r=\"1\" s=\"<\"/></a>", "not well-formed (invalid token)"},
      {known + "<c r=\"1\" s=\"\x01\"/></a>", "not well-formed (invalid token)"},
      {known + "<c r=\"1\" s=\"\xC3\"/></a>", "not well-formed (invalid token)"},
      {known + "<c r=\"1\" s=\"2\" r=\"3\"/></a>", "duplicate attribute"},
      {known + "<c r=\"1\" s=\"2\"></a>", "mismatched tag"},
      {known + "<c r=\"1\" s=\"2\"x=\"3\"/></a>", "not well-formed (invalid token)"},
      {known + "<c r=\"1\" s=\"2\"/ ></a>", "not well-formed (invalid token)"},
      {known + "<c r=\"1\" s=\"2", "unclosed token"},
      {"<a><p>x</p><p>y</q></a>", "mismatched tag"},
      {"<a><p>x</p><p>y</p></a><p>z</p>", "junk after document element"},
      {"<a x=\"1\"/><a x=\"1\"/>", "junk after document element"},
      {"<a><p>x</p></a></p>", "junk after document element"},
  };
  for (const RefusalCase& c : cases) ExpectRefusedAsExpatRefuses(c);
}

TEST(SheetXmlScannerTest, LongTextsArriveWholeAcrossManyPieces) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "ab&amp;\xC3\xA9\r\n";
  std::string xml = "<a>" + text + "</a>";
  std::vector<std::size_t> cuts;
  for (std::size_t at = 4093; at < xml.size(); at += 4093) cuts.push_back(at);
  for (Feeding feeding : kFeedings) EXPECT_EQ(Scan(xml, cuts, feeding), Expat(xml));
}

TEST(SheetXmlScannerTest, RefusesWhatExpatRefuses) {
  const RefusalCase cases[] = {
      {"<a><b></a>", "mismatched tag"},
      {"<a><b></B></a>", "mismatched tag"},
      {"<a><t:p>x</t:q></a>", "mismatched tag"},
      {"<a><t:p>x</t:pp></a>", "mismatched tag"},
      {"<a><p>x</p></b>", "mismatched tag"},
      {"<a>&nbsp;</a>", "undefined entity"},
      {"<a>&#0;</a>", "reference to invalid character number"},
      {"<a>&#xD800;</a>", "reference to invalid character number"},
      {"<a>&#x110000;</a>", "reference to invalid character number"},
      {"<a>& b</a>", "not well-formed (invalid token)"},
      {"<a b=\"1\" b=\"2\"/>", "duplicate attribute"},
      {"<a b=\"<\"/>", "not well-formed (invalid token)"},
      {"<a b=1/>", "not well-formed (invalid token)"},
      {"<a b=\"1\"c=\"2\"/>", "not well-formed (invalid token)"},
      {"<a>\x01</a>", "not well-formed (invalid token)"},
      {"<a>\xC3</a>", "not well-formed (invalid token)"},
      {"<a>\xED\xA0\x80</a>", "not well-formed (invalid token)"},
      {"<a>\xC0\xAF</a>", "not well-formed (invalid token)"},
      {"<a/><b/>", "junk after document element"},
      {"<a/>text", "junk after document element"},
      {"text<a/>", "syntax error"},
      {"<a>", "no element found"},
      {"", "no element found"},
      {"<a></a", "unclosed token"},
      {"<a b=\"1></a>", "unclosed token"},
      {"<a><!-- open</a>", "unclosed token"},
      {"<a><1/></a>", "not well-formed (invalid token)"},
      {"<a>< b/></a>", "not well-formed (invalid token)"},
      {"<a><![CDAT[x]]></a>", "not well-formed (invalid token)"},
      {" <?xml version=\"1.0\"?><a/>", "XML or text declaration not at start of entity"},
  };
  for (const RefusalCase& c : cases) ExpectRefusedAsExpatRefuses(c);
}

TEST(SheetXmlScannerTest, ErrorsNameThePlaceAndLine) {
  EXPECT_THAT([] { Scan("<a>\n<b c=\"1\"\n d=\"2\">\n</a>", {}); },
              ::testing::ThrowsMessage<WorkbookError>("t.xml: line 4: malformed XML: mismatched tag"));
  EXPECT_THAT([] { Scan("<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", {}); },
              ::testing::ThrowsMessage<WorkbookError>(
                  "t.xml: line 1: document type declarations are not allowed"));

  class Refusing : public SheetXmlHandler {
    void StartElement(std::string_view name, const XmlAttribute*, std::size_t) override {
      if (name == "bad") throw XmlContentError("no good");
    }
    void EndElement(std::string_view) override {}
    void Text(std::string_view) override {}
  } refusing;
  SheetXmlScanner scanner("t.xml", refusing);
  EXPECT_THAT([&] { scanner.Feed("<a>\n\n<bad/></a>"); },
              ::testing::ThrowsMessage<WorkbookError>(StartsWith("t.xml: line 3: no good")));
}

}  // namespace
}  // namespace pelorin::workbook
