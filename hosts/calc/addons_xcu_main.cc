// Writes the extension's Addons.xcu: the "Pelorin" menu in Calc's menu bar
// with core's nine commands in their order, each dispatched to the
// extension's protocol handler, which reports whether it is enabled and
// visible.
#include <fstream>
#include <iostream>

#include "core/addin/excel_controls.h"
#include "hosts/calc/uno/command_urls.h"

namespace {

void WriteProp(std::ostream& out, const char* name, std::string_view value, const char* indent) {
  out << indent << "<prop oor:name=\"" << name << "\" oor:type=\"xs:string\"><value>" << value
      << "</value></prop>\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: pelorin_calc_addons_xcu OUTPUT\n";
    return 2;
  }
  std::ofstream out(argv[1]);
  constexpr std::string_view kSheetContext = "com.sun.star.sheet.SpreadsheetDocument";
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<oor:component-data xmlns:oor=\"http://openoffice.org/2001/registry\"\n"
         "    xmlns:xs=\"http://www.w3.org/2001/XMLSchema\"\n"
         "    oor:name=\"Addons\" oor:package=\"org.openoffice.Office\">\n"
         "  <node oor:name=\"AddonUI\">\n"
         "    <node oor:name=\"OfficeMenuBar\">\n"
         "      <node oor:name=\"org.pelorin.calc.menu\" oor:op=\"replace\">\n";
  WriteProp(out, "Title", pelorin::kMenuCaption, "        ");
  WriteProp(out, "Context", kSheetContext, "        ");
  out << "        <node oor:name=\"Submenu\">\n";
  int index = 0;
  for (const auto& row : pelorin::kMenuCommands) {
    char node[8];
    std::snprintf(node, sizeof node, "m%02d", ++index);
    out << "          <node oor:name=\"" << node << "\" oor:op=\"replace\">\n";
    WriteProp(out, "URL", pelorin::calc::CommandUrl(row.caption), "            ");
    WriteProp(out, "Title", row.caption, "            ");
    WriteProp(out, "Target", "_self", "            ");
    WriteProp(out, "Context", kSheetContext, "            ");
    out << "          </node>\n";
  }
  out << "        </node>\n"
         "      </node>\n"
         "    </node>\n"
         "  </node>\n"
         "</oor:component-data>\n";
  out.close();
  if (!out) {
    std::cerr << "cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
