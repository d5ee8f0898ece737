#include "hosts/cli/preview_printer.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/forms/form.h"

namespace pelorin::cli {
namespace {

// Tabs and line breaks inside a cell would break a row apart.
std::string OneLine(const std::string& text) {
  std::string line = text;
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return line;
}

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (c < 0x20) {
          static const char* kHex = "0123456789abcdef";
          quoted += "\\u00";
          quoted += kHex[c >> 4];
          quoted += kHex[c & 15];
        } else {
          quoted.push_back(static_cast<char>(c));
        }
    }
  }
  return quoted + "\"";
}

std::string Cell(const forms::GridModel& grid, std::size_t row, std::size_t column) {
  const auto& cells = grid.rows[row];
  return column < cells.size() ? OneLine(cells[column]) : std::string();
}

}  // namespace

void PrintGridTable(const forms::GridModel& grid, std::ostream& out) {
  const std::size_t columns = static_cast<std::size_t>(std::max(grid.columns, 0));
  std::vector<int> widths(columns, 0);
  for (std::size_t r = 0; r < grid.rows.size(); ++r) {
    for (std::size_t c = 0; c < columns; ++c) {
      widths[c] = std::max(widths[c], forms::Utf8Length(Cell(grid, r, c)));
    }
  }
  for (std::size_t r = 0; r < grid.rows.size(); ++r) {
    std::string line;
    for (std::size_t c = 0; c < columns; ++c) {
      const std::string text = Cell(grid, r, c);
      line += text;
      if (c + 1 < columns) line += std::string(widths[c] - forms::Utf8Length(text) + 2, ' ');
    }
    out << line << '\n';
    if (r == 0) {
      std::string rule;
      for (std::size_t c = 0; c < columns; ++c) {
        rule += std::string(widths[c], '-') + (c + 1 < columns ? "  " : "");
      }
      out << rule << '\n';
    }
  }
}

void PrintGridTsv(const forms::GridModel& grid, std::ostream& out) {
  const std::size_t columns = static_cast<std::size_t>(std::max(grid.columns, 0));
  for (std::size_t r = 0; r < grid.rows.size(); ++r) {
    for (std::size_t c = 0; c < columns; ++c) out << (c ? "\t" : "") << Cell(grid, r, c);
    out << '\n';
  }
}

void PrintGridJson(const forms::GridModel& grid, std::ostream& out) {
  const std::size_t columns = static_cast<std::size_t>(std::max(grid.columns, 0));
  out << '[';
  for (std::size_t r = 1; r < grid.rows.size(); ++r) {
    out << (r > 1 ? ",\n " : "\n ") << '{';
    for (std::size_t c = 0; c < columns; ++c) {
      const std::string key = grid.rows.empty() ? std::to_string(c) : Cell(grid, 0, c);
      const std::string& value = c < grid.rows[r].size() ? grid.rows[r][c] : std::string();
      out << (c ? ", " : "") << JsonString(key) << ": " << JsonString(value);
    }
    out << '}';
  }
  out << (grid.rows.size() > 1 ? "\n]\n" : "]\n");
}

}  // namespace pelorin::cli
