// The dispatch addresses of the "Pelorin" menu's commands in LibreOffice:
// the extension's protocol followed by the command's caption without spaces.
#pragma once

#include <string>
#include <string_view>

namespace pelorin::calc {

inline constexpr std::string_view kCommandProtocol = "vnd.pelorin.calc:";

// "Send Text Message" -> "vnd.pelorin.calc:SendTextMessage".
std::string CommandUrl(std::string_view caption);

}  // namespace pelorin::calc
