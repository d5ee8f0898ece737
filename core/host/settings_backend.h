// Persistent per-user storage of named text values in two groups: the session
// (who is logged in) and the settings (everything else).
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

enum class SettingsGroup { kSession, kSettings };

class SettingsBackend {
 public:
  virtual ~SettingsBackend() = default;
  // The stored text, or the empty text when the value is absent or cannot be read.
  virtual std::string Get(SettingsGroup group, std::string_view name) const = 0;
  // Both are durable when they return; they throw std::runtime_error on failure.
  virtual void Set(SettingsGroup group, std::string_view name, std::string_view value) = 0;
  virtual void Remove(SettingsGroup group, std::string_view name) = 0;
};

}  // namespace pelorin
