// Persistent per-user storage of named text values in two groups: the session
// (who is logged in) and the settings (everything else).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

enum class SettingsGroup { kSession, kSettings };

// One value to write, or to delete when `value` is empty (std::nullopt).
struct SettingsChange {
  std::string name;
  std::optional<std::string> value;
};

class SettingsBackend {
 public:
  virtual ~SettingsBackend() = default;
  // The stored text, or the empty text when the value is absent or cannot be read.
  virtual std::string Get(SettingsGroup group, std::string_view name) const = 0;
  // Both are durable when they return; they throw std::runtime_error on failure.
  virtual void Set(SettingsGroup group, std::string_view name, std::string_view value) = 0;
  virtual void Remove(SettingsGroup group, std::string_view name) = 0;
  // Makes several changes to one group as one: a reader, another writer or
  // a writer killed half-way never leaves some of them made and others not.
  // Durable when it returns; throws std::runtime_error when the change could
  // not be recorded.
  virtual void Change(SettingsGroup group, const std::vector<SettingsChange>& changes) = 0;
};

}  // namespace pelorin
