// How a stored text is kept in a file of its own, the same on every platform:
// the file name that stands for the text's name, and the framing that shows
// a file cut short or altered. The platforms' stores do the file work.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

// A file name that stands for exactly one value name: letters, digits, "_"
// and "-" stay, every other byte becomes "%" and two hex digits; the empty
// name becomes "%". Never starts with "." (temporary files do).
std::string ValueFileName(std::string_view value_name);

// The value name ValueFileName made `file_name` from; nothing for a name it
// cannot have made (a temporary file, a file someone else put there).
std::optional<std::string> ValueNameOfFile(std::string_view file_name);

// The file's contents for a value, and the value back from them; a file that
// was cut short, extended or altered decodes to nothing.
std::string EncodeValueFile(std::string_view value);
std::optional<std::string> DecodeValueFile(std::string_view contents);

// A file of one value followed by appended ones (each framed as
// EncodeValueFile frames it): the values joined, up to the first appended
// one that was cut short or damaged, as a crash during an append leaves it.
// Nothing when the first value is not whole.
std::optional<std::string> DecodeAppendedValueFile(std::string_view contents);

}  // namespace pelorin
