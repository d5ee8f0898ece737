#include "runs_report.h"

#include <nlohmann/json.hpp>

namespace pelorin::provider {
namespace {

std::string Join(const std::vector<std::string>& items, const std::string& separator) {
  std::string joined;
  for (size_t i = 0; i < items.size(); ++i) joined += (i ? separator : "") + items[i];
  return joined;
}

std::string JoinNumbers(const std::vector<int64_t>& numbers) {
  std::string joined;
  for (size_t i = 0; i < numbers.size(); ++i) joined += (i ? "," : "") + std::to_string(numbers[i]);
  return joined;
}

}  // namespace

std::string RunsToJson(const std::vector<Run>& runs) {
  nlohmann::json array = nlohmann::json::array();
  for (const Run& run : runs) {
    nlohmann::json records = nlohmann::json::array();
    for (const MessageRecord& record : run.records) {
      records.push_back({{"mobile", record.mobile}, {"message", record.message}});
    }
    array.push_back({{"uid", run.uid},
                     {"filename", run.filename},
                     {"sid", run.sid},
                     {"catid", run.catid},
                     {"ip", run.ip},
                     {"schedule", run.schedule},
                     {"flash", run.flash},
                     {"closed", run.closed},
                     {"states", run.states},
                     {"packets", run.states.size()},
                     {"packet_records", run.packet_records},
                     {"records", std::move(records)}});
  }
  // Stored text is checked UTF-8; replacing keeps a bad row from failing all.
  return array.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string RunsToText(const std::vector<Run>& runs) {
  std::string text;
  for (const Run& run : runs) {
    text += run.uid + "\t" + run.filename + "\tsid=" + run.sid + "\tcatid=" + run.catid +
            "\tip=" + run.ip + "\tschedule=" + run.schedule + "\tflash=" + run.flash +
            "\t" + (run.closed ? "closed" : "open") + "\tstates=" + Join(run.states, ",") +
            "\tpacket_records=" + JoinNumbers(run.packet_records) +
            "\trecords=" + std::to_string(run.records.size()) + "\n";
    for (const MessageRecord& record : run.records) {
      text += "\t" + record.mobile + "\t" + record.message + "\n";
    }
  }
  return text;
}

std::string RunsToHtml(const std::vector<Run>& runs) {
  std::string html =
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Runs received</title>"
      "</head><body><h1>Runs received</h1><table border=\"1\"><tr><th>User</th>"
      "<th>File name</th><th>Sender</th><th>Category</th><th>IP</th><th>Schedule</th>"
      "<th>Flash</th><th>States</th><th>Status</th><th>Records</th></tr>";
  for (const Run& run : runs) {
    std::string records;
    for (const MessageRecord& record : run.records) {
      records += HtmlEscape(record.mobile) + ": " + HtmlEscape(record.message) + "<br>";
    }
    html += "<tr><td>" + HtmlEscape(run.uid) + "</td><td>" + HtmlEscape(run.filename) +
            "</td><td>" + HtmlEscape(run.sid) + "</td><td>" + HtmlEscape(run.catid) +
            "</td><td>" + HtmlEscape(run.ip) + "</td><td>" + HtmlEscape(run.schedule) +
            "</td><td>" + HtmlEscape(run.flash) + "</td><td>" +
            HtmlEscape(Join(run.states, ", ")) + "</td><td>" +
            (run.closed ? "closed" : "open") + "</td><td>" + records + "</td></tr>";
  }
  return html + "</table></body></html>";
}

std::string HtmlEscape(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\'': escaped += "&#39;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

}  // namespace pelorin::provider
