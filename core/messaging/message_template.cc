#include "core/messaging/message_template.h"

#include <algorithm>

#include "core/text/utf8.h"

namespace pelorin {
namespace {

constexpr std::size_t kLongestColumnReference = 2;

}  // namespace

MessageTemplate::MessageTemplate(std::string_view text) {
  std::size_t start = 0;
  for (std::size_t number = 1;; ++number) {
    std::size_t bar = text.find('|', start);
    std::string_view piece = text.substr(start, bar == std::string_view::npos ? bar : bar - start);
    // Counted in characters: "|€|" is a (refused) reference, not literal text.
    bool is_column = number % 2 == 0 && piece.size() <= 4 * kLongestColumnReference &&
                     utf8::Decode(piece).size() <= kLongestColumnReference;
    pieces_.push_back({std::string(piece), is_column});
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
}

std::vector<std::string> MessageTemplate::ReferencedColumns() const {
  std::vector<std::string> columns;
  for (const TemplatePiece& piece : pieces_) {
    if (piece.is_column && std::find(columns.begin(), columns.end(), piece.text) == columns.end()) {
      columns.push_back(piece.text);
    }
  }
  return columns;
}

}  // namespace pelorin
