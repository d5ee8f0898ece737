#include "workbook/xlsx_styles.h"

#include <cstdlib>
#include <map>

#include "workbook/xml_stream.h"

namespace pelorin::workbook {
namespace {

class StylesHandler : public XmlHandler {
 public:
  void StartElement(std::string_view name, const char** attributes) override {
    if (name == "numFmt") {
      const char* id = FindAttribute(attributes, "numFmtId");
      const char* code = FindAttribute(attributes, "formatCode");
      if (id != nullptr && code != nullptr) custom_[std::atoi(id)] = ClassifyNumberFormat(code);
    } else if (name == "cellXfs") {
      in_cell_xfs_ = true;
    } else if (name == "xf" && in_cell_xfs_) {
      const char* id = FindAttribute(attributes, "numFmtId");
      format_ids_.push_back(id == nullptr ? 0 : std::atoi(id));
    }
  }
  void EndElement(std::string_view name) override {
    if (name == "cellXfs") in_cell_xfs_ = false;
  }
  void Text(std::string_view) override {}

  // Formats may come after the styles that use them, so resolve at the end.
  std::vector<DateKind> Kinds() const {
    std::vector<DateKind> kinds;
    kinds.reserve(format_ids_.size());
    for (int id : format_ids_) {
      auto custom = custom_.find(id);
      kinds.push_back(custom != custom_.end() ? custom->second : BuiltInFormatKind(id));
    }
    return kinds;
  }

 private:
  std::map<int, DateKind> custom_;
  std::vector<int> format_ids_;
  bool in_cell_xfs_ = false;
};

}  // namespace

XlsxStyles ReadStyles(const ZipArchive& archive, std::string_view part, std::uint64_t max_bytes) {
  StylesHandler handler;
  ParseXmlPart(archive, part, max_bytes, handler);
  return XlsxStyles(handler.Kinds());
}

}  // namespace pelorin::workbook
