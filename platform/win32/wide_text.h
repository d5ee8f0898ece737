// Conversion between core's UTF-8 text and the UTF-16 of the Windows API.
#pragma once

#include <string>
#include <string_view>

namespace pelorin::win32 {

// Invalid UTF-8 becomes U+FFFD rather than failing: a value read back must
// never be lost to one bad byte.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// The system's description of a Win32 error code, without the trailing line
// break; `module` names the DLL whose message table holds it (WinHTTP's
// codes are not in the system's table).
std::string DescribeError(unsigned long code, const wchar_t* module = nullptr);

}  // namespace pelorin::win32
