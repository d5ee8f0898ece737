// Text that came from the service is written to a terminal with its control
// characters shown, not obeyed: an escape sequence in a reply must not move
// the cursor, recolour the screen or retitle the window.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace pelorin::cli {

// Line feeds and tabs stay; other C0 characters become "^" and a letter
// ("^[" for ESC, "^M" for a carriage return), DEL "^?", and the C1
// characters U+0080..U+009F "<U+009B>" and the like.
std::string MakeControlsVisible(std::string_view text);

// Passes everything written through MakeControlsVisible to `target`.
class VisibleControlsBuffer : public std::streambuf {
 public:
  explicit VisibleControlsBuffer(std::streambuf* target) : target_(target) {}

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  void Put(std::string_view text);

  std::streambuf* target_;
  bool after_c2_ = false;  // a 0xC2 lead byte waits for the next byte
};

// True when the stream is std::cout or std::cerr and that one is a terminal.
bool IsTerminal(const std::ostream& stream);

}  // namespace pelorin::cli
