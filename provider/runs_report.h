// Renderings of the stored runs: JSON for programs, tab-separated text for
// the command line and an HTML table for people.
#ifndef PELORIN_PROVIDER_RUNS_REPORT_H_
#define PELORIN_PROVIDER_RUNS_REPORT_H_

#include <string>
#include <vector>

#include "provider_store.h"

namespace pelorin::provider {

// An array of {uid, filename, sid, catid, ip, schedule, flash, closed,
// states, packets, records: [{mobile, message}]}.
std::string RunsToJson(const std::vector<Run>& runs);
// One line per run, then one indented line per record.
std::string RunsToText(const std::vector<Run>& runs);
std::string RunsToHtml(const std::vector<Run>& runs);

// Escapes &, <, >, " and ' for HTML text and attribute values.
std::string HtmlEscape(const std::string& text);

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_RUNS_REPORT_H_
