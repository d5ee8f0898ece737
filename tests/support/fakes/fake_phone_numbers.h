// PhoneNumbers answering from a table the test fills: any text not in it is
// no number. Records the regions it was asked to read in.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/host/phone_numbers.h"

namespace pelorin::testing {

class FakePhoneNumbers : public PhoneNumbers {
 public:
  FakePhoneNumbers& Add(std::string text, NumberKind kind, std::string e164) {
    readings[std::move(text)] = {kind, std::move(e164)};
    return *this;
  }
  NumberReading Read(std::string_view text, std::string_view region) const override {
    regions_asked.insert(std::string(region));
    auto it = readings.find(std::string(text));
    return it == readings.end() ? NumberReading{} : it->second;
  }
  bool IsKnownRegion(std::string_view region) const override {
    return known_regions.contains(std::string(region));
  }

  std::map<std::string, NumberReading> readings;
  std::set<std::string> known_regions = {"IN", "GB", "US"};
  mutable std::set<std::string> regions_asked;
};

}  // namespace pelorin::testing
