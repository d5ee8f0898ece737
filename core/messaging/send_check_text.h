// The check's report as people read it: a summary, then the rows at fault.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/phone_numbers.h"
#include "core/messaging/send_check.h"

namespace pelorin {

// Lines ended by "\n".
std::string FormatCheckReport(const SendCheckReport& report);

// 1234567 as "1,234,567".
std::string GroupThousands(std::int64_t value);

// Rows as "5, 8-12, 20".
std::string FormatRowRuns(const std::vector<RowRange>& runs);

// Why a number is at fault: "not a phone number", "not a valid number",
// "not a mobile number"; empty for a mobile number.
std::string_view NumberProblemText(NumberKind kind);

}  // namespace pelorin
