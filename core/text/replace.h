// Plain text substitution, as the URL templates use it.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

// Replaces every occurrence of `token`; case-sensitive.
std::string ReplaceAll(std::string text, std::string_view token, std::string_view value);
// Replaces every occurrence of `token`, matching ASCII letters in either case.
std::string ReplaceAllIgnoreCase(std::string text, std::string_view token, std::string_view value);
// Compares ASCII letters in either case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// Without leading and trailing spaces (only the space character).
std::string_view TrimSpaces(std::string_view text);

}  // namespace pelorin
