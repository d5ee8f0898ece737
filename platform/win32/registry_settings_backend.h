// Settings and session values as REG_SZ values under HKEY_CURRENT_USER,
// written and read through the wide API so that any text survives.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/host/settings_backend.h"

namespace pelorin::win32 {

// The key paths under HKEY_CURRENT_USER, exactly as the add-in has always
// used them: the session lives in the per-user run-once key, which Windows
// itself empties at the user's next logon.
inline constexpr wchar_t kSessionKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\";
inline constexpr wchar_t kSettingsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\";

// The named mutex every writer of these keys holds while it writes.
inline constexpr wchar_t kSettingsWriterMutex[] = L"Local\\PelorinSettingsWriter";

class RegistrySettingsBackend : public SettingsBackend {
 public:
  // Each call opens its key and closes it again; no handle is held.
  std::string Get(SettingsGroup group, std::string_view name) const override;
  // Creates the key when missing, writes REG_SZ and flushes the key.
  void Set(SettingsGroup group, std::string_view name, std::string_view value) override;
  // Deleting an absent value or a value of an absent key changes nothing.
  void Remove(SettingsGroup group, std::string_view name) override;
  // Writes the new values first and deletes afterwards, all under one key
  // handle and a named mutex that every writer of these keys holds, so that
  // two Excel processes changing the session never interleave their values.
  void Change(SettingsGroup group, const std::vector<SettingsChange>& changes) override;
};

}  // namespace pelorin::win32
