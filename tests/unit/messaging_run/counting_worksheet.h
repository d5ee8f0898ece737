// A FakeWorksheet that also counts the bulk reads asked of it.
#pragma once

#include <string>
#include <vector>

#include "tests/support/fakes/fake_application.h"

namespace pelorin::testing {

class CountingWorksheet : public FakeWorksheet {
 public:
  void ReadColumn(std::string_view column, std::int64_t first_row, std::int64_t last_row,
                  std::vector<std::string_view>& cells) const override {
    bulk_reads.push_back(std::string(column) + std::to_string(first_row) + ":" +
                         std::to_string(last_row));
    Worksheet::ReadColumn(column, first_row, last_row, cells);
  }
  mutable std::vector<std::string> bulk_reads;
};

}  // namespace pelorin::testing
