#include "workbook/xlsx_strings.h"

#include <algorithm>

#include "core/text/utf8.h"

namespace pelorin::workbook {
namespace {

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

class SharedStringsHandler : public XmlHandler {
 public:
  explicit SharedStringsHandler(XlsxSharedStrings& out) : out_(out) {}

  void StartElement(std::string_view name, const char**) override {
    if (name == "si") {
      collector_.Clear();
      in_item_ = true;
    } else if (in_item_) {
      collector_.Start(name);
    }
  }
  void EndElement(std::string_view name) override {
    if (name == "si") {
      out_.Append(DecodeXmlEscapes(collector_.text()));
      in_item_ = false;
    } else if (in_item_) {
      collector_.End(name);
    }
  }
  void Text(std::string_view text) override {
    collector_.Text(text);
    // The rest of a giant string, and the strings after it, are not worth
    // inflating: the string is kept as overlong and reading stops.
    if (collector_.full()) {
      out_.Append(collector_.text());
      throw StopReading{};
    }
  }
  struct StopReading {};

 private:
  XlsxSharedStrings& out_;
  StringItemCollector collector_;
  bool in_item_ = false;
};

}  // namespace

std::string_view XlsxSharedStrings::at(std::uint64_t index) const {
  if (index >= ends_.size()) return {};
  if (std::binary_search(overlong_.begin(), overlong_.end(), index)) return OverlongCellStandIn();
  std::uint64_t begin = index == 0 ? 0 : ends_[index - 1];
  return std::string_view(bytes_).substr(begin, ends_[index] - begin);
}

void XlsxSharedStrings::Append(std::string_view text) {
  if (IsOverlongCellText(text)) {
    overlong_.push_back(ends_.size());
    text = {};
  }
  bytes_.append(text);
  ends_.push_back(bytes_.size());
}

XlsxSharedStrings ReadSharedStrings(const ZipArchive& archive, std::string_view part,
                                    std::uint64_t max_bytes) {
  XlsxSharedStrings strings;
  SharedStringsHandler handler(strings);
  try {
    ParseXmlPart(archive, part, max_bytes, handler);
  } catch (const SharedStringsHandler::StopReading&) {
    strings.StopAfterOverlong();
  }
  return strings;
}

std::string DecodeXmlEscapes(std::string_view text) {
  if (text.find("_x") == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && IsHex(text[i + 2]) &&
        IsHex(text[i + 3]) && IsHex(text[i + 4]) && IsHex(text[i + 5]) && text[i + 6] == '_') {
      auto code = static_cast<char32_t>(std::stoul(std::string(text.substr(i + 2, 4)), nullptr, 16));
      utf8::Append(out, code);
      i += 6;
    } else {
      out += text[i];
    }
  }
  return out;
}

void StringItemCollector::Start(std::string_view name) {
  if (name == "rPh") ++phonetic_depth_;
  if (name == "t") in_text_ = true;
}

void StringItemCollector::End(std::string_view name) {
  if (name == "rPh" && phonetic_depth_ > 0) --phonetic_depth_;
  if (name == "t") in_text_ = false;
}

}  // namespace pelorin::workbook
