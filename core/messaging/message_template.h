// A message template cut into its pieces: literal text, and the column
// references written between vertical bars ("Dear |C|,").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

struct TemplatePiece {
  std::string text;        // the literal text, or the column letters
  bool is_column = false;  // a reference to a column of the same row
  friend bool operator==(const TemplatePiece&, const TemplatePiece&) = default;
};

class MessageTemplate {
 public:
  // Cuts at every "|". Counting pieces from 1, an even piece of at most two
  // characters is a column reference (even an empty one, which the worksheet
  // will refuse); every other piece is literal, so an over-long even piece
  // is joined to its neighbours without the bars.
  explicit MessageTemplate(std::string_view text);

  const std::vector<TemplatePiece>& pieces() const { return pieces_; }
  // The columns referred to, each once, in order of first use.
  std::vector<std::string> ReferencedColumns() const;

 private:
  std::vector<TemplatePiece> pieces_;
};

}  // namespace pelorin
