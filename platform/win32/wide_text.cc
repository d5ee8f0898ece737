#include "platform/win32/wide_text.h"

#include <windows.h>

namespace pelorin::win32 {

std::wstring Utf8ToWide(std::string_view text) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string WideToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length,
                      nullptr, nullptr);
  return narrow;
}

std::string DescribeError(unsigned long code, const wchar_t* module) {
  DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                FORMAT_MESSAGE_FROM_SYSTEM;
  HMODULE source = nullptr;
  if (module != nullptr) {
    source = GetModuleHandleW(module);
    if (source != nullptr) flags |= FORMAT_MESSAGE_FROM_HMODULE;
  }
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(flags, source, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length > 0 && buffer != nullptr ? std::wstring(buffer, length) : std::wstring();
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  std::string described = WideToUtf8(text);
  char number[32];
  wsprintfA(number, "error %lu", code);
  return described.empty() ? std::string(number) : described + " (" + number + ")";
}

}  // namespace pelorin::win32
