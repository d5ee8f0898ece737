#include "core/messaging/send_check_text.h"

namespace pelorin {
namespace {

std::string RowList(const std::vector<std::int64_t>& rows) {
  std::string text;
  for (std::int64_t row : rows) text += (text.empty() ? "" : ", ") + std::to_string(row);
  return text;
}

void AppendCost(const SendCheckReport& report, std::string& text) {
  text += "Rows: " + GroupThousands(report.rows) + " selected, " +
          GroupThousands(report.messages) + " messages, " + GroupThousands(report.segments) +
          " segments (" + GroupThousands(report.gsm_messages) + " GSM 7-bit, " +
          GroupThousands(report.ucs2_messages) + " UCS-2)\n";
  if (!report.messages_by_segments.empty()) {
    text += "Segments per message:";
    bool first = true;
    for (const auto& [segments, messages] : report.messages_by_segments) {
      text += (first ? " " : ", ") + std::to_string(segments) + " x " + GroupThousands(messages);
      first = false;
    }
    text += "\n";
  }
  text += "Credits: needs " + GroupThousands(report.segments) + " credits";
  if (report.credits) text += ", " + GroupThousands(*report.credits) + " available";
  if (report.TooLittleCredit()) text += " (too few)";
  text += "\n";
}

}  // namespace

std::string GroupThousands(std::int64_t value) {
  const bool negative = value < 0;
  std::string digits = std::to_string(negative ? -value : value);
  for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
  return negative ? "-" + digits : digits;
}

std::string FormatRowRuns(const std::vector<RowRange>& runs) {
  std::string text;
  for (const RowRange& run : runs) {
    if (!text.empty()) text += ", ";
    text += std::to_string(run.first);
    if (run.last != run.first) text += "-" + std::to_string(run.last);
  }
  return text;
}

std::string_view NumberProblemText(NumberKind kind) {
  switch (kind) {
    case NumberKind::kNotANumber: return "not a phone number";
    case NumberKind::kInvalid: return "not a valid number";
    case NumberKind::kNotMobile: return "not a mobile number";
    case NumberKind::kMobile: return "";
  }
  return "";
}

std::string FormatCheckReport(const SendCheckReport& report) {
  std::string text = "Region: " + report.region + "\n";
  AppendCost(report, text);
  text += "Invalid numbers: " + GroupThousands(static_cast<std::int64_t>(report.invalid.size())) +
          "\nDuplicate numbers: " +
          GroupThousands(static_cast<std::int64_t>(report.duplicates.size())) +
          "\nExcluded rows: " + GroupThousands(static_cast<std::int64_t>(report.excluded.size())) +
          "\nEmpty rows: " + GroupThousands(report.empty_row_count) + "\n";
  if (!report.error.empty()) text += "A send would stop at " + report.error + "\n";

  for (const NumberProblem& problem : report.invalid) {
    text += "row " + std::to_string(problem.row) + ": invalid: \"" + problem.mobile + "\" is " +
            std::string(NumberProblemText(problem.kind)) + " in region " + report.region + "\n";
  }
  for (const DuplicateNumber& duplicate : report.duplicates) {
    text += "rows " + RowList(duplicate.rows) + ": duplicate: " + duplicate.e164 + "\n";
  }
  for (const ExcludedRow& excluded : report.excluded) {
    text += "row " + std::to_string(excluded.row) + ": excluded: \"" + excluded.mobile + "\"\n";
  }
  if (!report.empty_rows.empty()) text += "rows " + FormatRowRuns(report.empty_rows) + ": empty\n";
  return text;
}

}  // namespace pelorin
