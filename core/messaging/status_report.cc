#include "core/messaging/status_report.h"

#include <algorithm>

#include "core/messaging/popup_form.h"

namespace pelorin {
namespace {

bool EndsRun(std::string_view state) { return state == compose::kAll || state == compose::kEnd; }

void AppendEmptyRows(std::string& status, std::int64_t empty_rows) {
  status += kLineBreak;
  status += std::to_string(empty_rows);
  status += " empty spaced record(s) ignored ";
  status += kLineBreak;
}

void AppendCompleted(std::string& status) {
  status += "Process Completed..!!";
  status += kLineBreak;
}

constexpr std::string_view kUnableToProcess = "Unable to process your request. Please try again!!!";

void AppendSuccess(std::string& status, const PacketReport& report) {
  status += "Processed ";
  status += std::to_string(std::min(report.processed, report.total));
  status += " record(s) out of selected ";
  status += std::to_string(report.total);
  if (EndsRun(report.state) && report.empty_rows >= 1) {
    status += " and ";
    AppendEmptyRows(status, report.empty_rows);
  } else {
    status += kLineBreak;
  }
  if (EndsRun(report.state)) AppendCompleted(status);
}

void AppendOutOfRange(std::string& status) {
  status += "Unable to process your request. !!!";
  status += kLineBreak;
  status += "End Range is out of scope from Excel sheet.";
  status += kLineBreak;
  status += "Please try again with correct End Range!!!";
}

void Show(frmPopup& window, const std::string& status, bool ends_run) {
  if (ends_run) window.EnableClose();
  window.ShowStatus(status);
}

}  // namespace

void StartNewLine(std::string& status) {
  if (!status.empty() && !status.ends_with(kLineBreak)) status += kLineBreak;
}

bool AppendPacketResult(std::string& status, const PacketReport& report) {
  if (report.response == compose::kSuccess) {
    AppendSuccess(status, report);
    return EndsRun(report.state);
  }
  if (report.response == compose::kTimedOut) {
    status += "Operation Timed Out. Please try again!!!";
  } else if (report.response == compose::kOutOfRange) {
    AppendOutOfRange(status);
  } else if (report.response.empty()) {
    status += kUnableToProcess;
  } else {
    StartNewLine(status);
    status += report.response;
    status += "!!!";
    status += kLineBreak;
  }
  return true;
}

bool AppendClosingResult(std::string& status, const PacketReport& report) {
  StartNewLine(status);
  if (report.response != compose::kSuccess) {
    status += kUnableToProcess;
    return true;
  }
  if (EndsRun(report.state) && report.empty_rows >= 1) {
    status += "and ";
    AppendEmptyRows(status, report.empty_rows);
  }
  if (!EndsRun(report.state)) return false;
  AppendCompleted(status);
  return true;
}

void ShowPacketResult(frmPopup& window, std::string& status, const PacketReport& report) {
  Show(window, status, AppendPacketResult(status, report));
}

void ShowClosingResult(frmPopup& window, std::string& status, const PacketReport& report) {
  Show(window, status, AppendClosingResult(status, report));
}

}  // namespace pelorin
