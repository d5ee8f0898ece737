#include "platform/win32/registry_settings_backend.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

const wchar_t* KeyOf(SettingsGroup group) {
  return group == SettingsGroup::kSession ? kSessionKey : kSettingsKey;
}

class Key {
 public:
  Key() = default;
  ~Key() {
    if (handle_ != nullptr) RegCloseKey(handle_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* out() { return &handle_; }
  HKEY get() const { return handle_; }

 private:
  HKEY handle_ = nullptr;
};

std::runtime_error Failure(const char* what, std::string_view name, LONG code) {
  return std::runtime_error(std::string(what) + " \"" + std::string(name) + "\": " + DescribeError(code));
}

// A REG_DWORD that another program stored reads as its decimal text.
std::string DwordText(const std::vector<BYTE>& data) {
  if (data.size() < 4) return {};
  DWORD value = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<DWORD>(data[3]) << 24);
  return std::to_string(value);
}

std::string StringText(const std::vector<BYTE>& data) {
  std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  std::size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return WideToUtf8(text);
}

// Holds the writers' mutex for its life. A holder that died with it leaves
// it abandoned, which still hands it over: each write is whole on its own.
class WriterTurn {
 public:
  WriterTurn() : mutex_(CreateMutexW(nullptr, FALSE, kSettingsWriterMutex)) {
    if (mutex_ == nullptr) {
      throw std::runtime_error("cannot create the settings writers' mutex: " +
                               DescribeError(GetLastError()));
    }
    DWORD waited = WaitForSingleObject(mutex_, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
      CloseHandle(mutex_);
      throw std::runtime_error("cannot take the settings writers' mutex: " +
                               DescribeError(GetLastError()));
    }
  }
  ~WriterTurn() {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  WriterTurn(const WriterTurn&) = delete;
  WriterTurn& operator=(const WriterTurn&) = delete;

 private:
  HANDLE mutex_;
};

void WriteValue(HKEY key, std::string_view name, std::string_view value) {
  std::wstring text = Utf8ToWide(value);
  // The terminating NUL is stored with the text, as REG_SZ readers expect.
  DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  LONG result = RegSetValueExW(key, Utf8ToWide(name).c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(text.c_str()), bytes);
  if (result != ERROR_SUCCESS) throw Failure("cannot write", name, result);
}

void DeleteValue(HKEY key, std::string_view name) {
  LONG result = RegDeleteValueW(key, Utf8ToWide(name).c_str());
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) throw Failure("cannot delete", name, result);
}

}  // namespace

std::string RegistrySettingsBackend::Get(SettingsGroup group, std::string_view name) const {
  Key key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyOf(group), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS) {
    return {};
  }
  std::wstring value_name = Utf8ToWide(name);
  std::vector<BYTE> data(512);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    LONG result = RegQueryValueExW(key.get(), value_name.c_str(), nullptr, &type, data.data(), &size);
    if (result == ERROR_MORE_DATA) {
      data.resize(size + sizeof(wchar_t));
      continue;
    }
    if (result != ERROR_SUCCESS) return {};
    data.resize(size);
    if (type == REG_SZ || type == REG_EXPAND_SZ) return StringText(data);
    if (type == REG_DWORD) return DwordText(data);
    return {};
  }
  return {};  // the value kept growing while it was read
}

void RegistrySettingsBackend::Set(SettingsGroup group, std::string_view name, std::string_view value) {
  Change(group, {SettingsChange{std::string(name), std::string(value)}});
}

void RegistrySettingsBackend::Remove(SettingsGroup group, std::string_view name) {
  Change(group, {SettingsChange{std::string(name), std::nullopt}});
}

void RegistrySettingsBackend::Change(SettingsGroup group, const std::vector<SettingsChange>& changes) {
  if (changes.empty()) return;
  bool writes = false;
  for (const SettingsChange& change : changes) writes = writes || change.value.has_value();
  WriterTurn turn;
  Key key;
  LONG result = writes ? RegCreateKeyExW(HKEY_CURRENT_USER, KeyOf(group), 0, nullptr,
                                         REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.out(),
                                         nullptr)
                       : RegOpenKeyExW(HKEY_CURRENT_USER, KeyOf(group), 0, KEY_SET_VALUE, key.out());
  if (!writes && result == ERROR_FILE_NOT_FOUND) return;  // nothing there to delete
  if (result != ERROR_SUCCESS) {
    throw Failure(writes ? "cannot open the key for" : "cannot open the key of",
                  changes.front().name, result);
  }
  // New values before deletions: a writer stopped half-way leaves a stale
  // value beside the new ones, never a value missing that the new ones need.
  for (const SettingsChange& change : changes) {
    if (change.value) WriteValue(key.get(), change.name, *change.value);
  }
  for (const SettingsChange& change : changes) {
    if (!change.value) DeleteValue(key.get(), change.name);
  }
  RegFlushKey(key.get());
}

}  // namespace pelorin::win32
