// Decoding of URL queries and application/x-www-form-urlencoded bodies, and
// the UTF-8 check applied to every decoded value the provider accepts.
#ifndef PELORIN_PROVIDER_FORM_CODEC_H_
#define PELORIN_PROVIDER_FORM_CODEC_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin::provider {

// Decoded fields by name. When a name repeats, the first value is kept.
using FormFields = std::map<std::string, std::string>;

// Decodes "%XX" escapes and '+' (as a space). Answers nullopt when a '%' is
// not followed by two hexadecimal digits.
std::optional<std::string> PercentDecode(std::string_view text);

// Splits "a=1&b=2" at '&' and '=' and decodes both sides. A piece without
// '=' is a name with an empty value; empty pieces are skipped. Answers
// nullopt when any escape is malformed.
std::optional<FormFields> ParseForm(std::string_view text);

// The query part of a request target ("/path?query" gives "query").
std::string_view QueryOf(std::string_view target);

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// True when every name and value of `fields` is well-formed UTF-8.
bool AllValidUtf8(const FormFields& fields);

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_FORM_CODEC_H_
