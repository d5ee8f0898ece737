#include "workbook/cell_text_limit.h"

namespace pelorin::workbook {

bool IsOverlongCellText(std::string_view text) {
  if (text.size() <= kMaxCellCharacters) return false;  // one byte or more per character
  if (text.size() > 4 * kMaxCellCharacters) return true;   // four bytes at most, when valid
  std::size_t characters = 0;
  for (unsigned char byte : text) {
    if ((byte & 0xC0) != 0x80 && ++characters > kMaxCellCharacters) return true;
  }
  return false;
}

bool AppendCellText(std::string& text, std::string_view piece) {
  if (text.size() < kMaxCellTextBytes) {
    text.append(piece.substr(0, kMaxCellTextBytes - text.size()));
  }
  return text.size() >= kMaxCellTextBytes;
}

std::string_view OverlongCellStandIn() {
  static const std::string stand_in(kMaxCellCharacters + 1, '#');
  return stand_in;
}

}  // namespace pelorin::workbook
