#include "platform/win32/shell_browser.h"

#include <windows.h>
#include <shellapi.h>

#include <stdexcept>
#include <string_view>

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

bool HasScheme(std::string_view address, std::string_view scheme) {
  if (address.size() <= scheme.size()) return false;
  for (std::size_t i = 0; i < scheme.size(); ++i) {
    char c = address[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != scheme[i]) return false;
  }
  return true;
}

bool HasControlCharacter(std::string_view address) {
  for (char c : address) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

void Require(bool allowed, const std::string& address) {
  if (!allowed || HasControlCharacter(address)) {
    throw std::runtime_error("refused to open \"" + address + "\": not a web or mail address");
  }
}

void Open(const std::string& address) {
  std::wstring target = Utf8ToWide(address);
  auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) {
    throw std::runtime_error("the shell cannot open \"" + address + "\": " +
                             DescribeError(static_cast<unsigned long>(result)));
  }
}

bool IsWebAddress(std::string_view address) {
  return HasScheme(address, "http://") || HasScheme(address, "https://");
}

}  // namespace

void ShellBrowser::OpenInNewWindow(const std::string& address) {
  Require(IsWebAddress(address), address);
  Open(address);
}

void ShellBrowser::ShellOpen(const std::string& address) {
  Require(IsWebAddress(address) || HasScheme(address, "mailto:"), address);
  Open(address);
}

}  // namespace pelorin::win32
