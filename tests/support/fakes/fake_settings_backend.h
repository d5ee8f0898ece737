// An in-memory settings backend; it can be told to fail its writes.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "core/host/settings_backend.h"

namespace pelorin::testing {

class FakeSettingsBackend : public SettingsBackend {
 public:
  std::string Get(SettingsGroup group, std::string_view name) const override {
    auto it = values_.find({group, std::string(name)});
    return it == values_.end() ? std::string() : it->second;
  }
  void Set(SettingsGroup group, std::string_view name, std::string_view value) override {
    if (fail_writes) throw std::runtime_error("settings write failed");
    values_[{group, std::string(name)}] = std::string(value);
  }
  void Remove(SettingsGroup group, std::string_view name) override {
    if (fail_writes) throw std::runtime_error("settings delete failed");
    values_.erase({group, std::string(name)});
  }
  void Change(SettingsGroup group, const std::vector<SettingsChange>& changes) override {
    ++changes_made;
    if (fail_writes) throw std::runtime_error("settings change failed");
    for (const SettingsChange& change : changes) {
      if (change.value) {
        values_[{group, change.name}] = *change.value;
      } else {
        values_.erase({group, change.name});
      }
    }
  }
  bool Contains(SettingsGroup group, std::string_view name) const {
    return values_.count({group, std::string(name)}) != 0;
  }

  bool fail_writes = false;
  int changes_made = 0;  // calls of Change, failed ones included

 private:
  std::map<std::pair<SettingsGroup, std::string>, std::string> values_;
};

}  // namespace pelorin::testing
