#include "workbook/xlsx_parts.h"

#include <cstdlib>

#include "workbook/xml_stream.h"

namespace pelorin::workbook {
namespace {

class RelationshipsHandler : public XmlHandler {
 public:
  RelationshipsHandler(std::string_view source_part, std::vector<XlsxRelationship>& out)
      : source_part_(source_part), out_(out) {}

  void StartElement(std::string_view name, const char** attributes) override {
    if (name != "Relationship") return;
    const char* id = FindAttribute(attributes, "Id");
    const char* type = FindAttribute(attributes, "Type");
    const char* target = FindAttribute(attributes, "Target");
    const char* mode = FindAttribute(attributes, "TargetMode");
    if (id == nullptr || target == nullptr) return;
    if (mode != nullptr && std::string_view(mode) == "External") return;
    std::string_view type_text = type == nullptr ? "" : type;
    type_text = type_text.substr(type_text.rfind('/') + 1);
    out_.push_back({id, std::string(type_text), ResolvePartName(source_part_, target)});
  }
  void EndElement(std::string_view) override {}
  void Text(std::string_view) override {}

 private:
  std::string_view source_part_;
  std::vector<XlsxRelationship>& out_;
};

class WorkbookHandler : public XmlHandler {
 public:
  explicit WorkbookHandler(XlsxWorkbookPart& out) : out_(out) {}

  void StartElement(std::string_view name, const char** attributes) override {
    if (name == "sheet") {
      const char* sheet_name = FindAttribute(attributes, "name");
      const char* id = FindAttribute(attributes, "id");
      out_.sheets.push_back({sheet_name ? sheet_name : "", id ? id : ""});
    } else if (name == "workbookView" && !seen_view_) {
      seen_view_ = true;  // the first view is the one a spreadsheet opens with
      if (const char* tab = FindAttribute(attributes, "activeTab")) {
        out_.active_tab = std::atoi(tab);
      }
    } else if (name == "workbookPr") {
      const char* flag = FindAttribute(attributes, "date1904");
      out_.date1904 = flag != nullptr && (std::string_view(flag) == "1" ||
                                          std::string_view(flag) == "true");
    }
  }
  void EndElement(std::string_view) override {}
  void Text(std::string_view) override {}

 private:
  XlsxWorkbookPart& out_;
  bool seen_view_ = false;
};

std::string RelationshipsPart(std::string_view source_part) {
  std::size_t slash = source_part.rfind('/');
  std::string_view folder =
      slash == std::string_view::npos ? std::string_view() : source_part.substr(0, slash + 1);
  std::string_view file =
      slash == std::string_view::npos ? source_part : source_part.substr(slash + 1);
  return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

}  // namespace

std::string ResolvePartName(std::string_view source_part, std::string_view target) {
  std::string path;
  if (!target.empty() && target.front() == '/') {
    target.remove_prefix(1);
  } else {
    std::size_t slash = source_part.rfind('/');
    if (slash != std::string_view::npos) path = std::string(source_part.substr(0, slash + 1));
  }
  path += target;
  std::vector<std::string> segments;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string segment = path.substr(start, end - start);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::string resolved;
  for (const std::string& segment : segments) {
    if (!resolved.empty()) resolved += '/';
    resolved += segment;
  }
  return resolved;
}

std::vector<XlsxRelationship> ReadRelationships(const ZipArchive& archive,
                                                std::string_view source_part,
                                                std::uint64_t max_bytes) {
  std::vector<XlsxRelationship> relationships;
  std::string part = RelationshipsPart(source_part);
  if (!archive.Has(part)) return relationships;
  RelationshipsHandler handler(source_part, relationships);
  ParseXmlPart(archive, part, max_bytes, handler);
  return relationships;
}

std::string FindWorkbookPart(const ZipArchive& archive, std::uint64_t max_bytes) {
  for (const XlsxRelationship& relationship : ReadRelationships(archive, "", max_bytes)) {
    if (relationship.type == "officeDocument") return relationship.target;
  }
  return "xl/workbook.xml";
}

XlsxWorkbookPart ReadWorkbookPart(const ZipArchive& archive, std::string_view part,
                                  std::uint64_t max_bytes) {
  XlsxWorkbookPart workbook;
  WorkbookHandler handler(workbook);
  ParseXmlPart(archive, part, max_bytes, handler);
  return workbook;
}

}  // namespace pelorin::workbook
