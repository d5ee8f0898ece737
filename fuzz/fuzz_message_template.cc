// Message templates with any bars and text: cutting never loses the text
// outside the bars' pieces.
#include <cstdlib>
#include <string_view>

#include "core/messaging/message_template.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  pelorin::MessageTemplate parsed(text);
  std::size_t length = 0;
  for (const pelorin::TemplatePiece& piece : parsed.pieces()) length += piece.text.size();
  if (length > text.size()) std::abort();
  parsed.ReferencedColumns();
  return 0;
}
