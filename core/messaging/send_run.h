// A send run: uploads the rows of a checked send request to the service's
// Compose page in packets, reporting each packet in the status window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "core/addin/addin_context.h"
#include "core/host/clock.h"
#include "core/host/worksheet.h"
#include "core/messaging/send_request.h"

namespace pelorin {

class frmPopup;
class RowFilter;

// Rows handled so far over all ranges of the run, empty ones included.
struct SendProgress {
  std::int64_t rows_done = 0;
  std::int64_t rows_total = 0;
};

enum class SendOutcome {
  kCompleted,   // every packet accepted and the run reported complete
  kFailed,      // a failure was reported in the status window
  kUnfinished,  // stopped without a report that ends it: a refused cell
                // address, a bad stored packet size, or the status window
                // closed while packets remained
};

struct SendRunResult {
  SendOutcome outcome = SendOutcome::kUnfinished;
  std::string status_text;    // the window's text, lines ended by "\r\n"
  std::string error;          // why the run stopped silently, or empty
  std::string run_file_name;  // the name every packet carried
  LocalDateTime started;      // the one clock reading the name was made from
  std::string journal_name;   // the run's name in the run journal, or empty
};

class SendRun {
 public:
  // `sheet` is the worksheet the rows are read from, the active one at the
  // time of the click.
  SendRun(AddinContext& context, const Worksheet& sheet) : context_(context), sheet_(sheet) {}

  // Called after every packet, and once at the start, so that a terminal
  // host can draw a bar. The status window shows the same progress in words.
  void set_progress_callback(std::function<void(const SendProgress&)> callback) {
    progress_ = std::move(callback);
  }

  // Picks the clock reading the run is named after, for the user id; by
  // default the clock's present reading. A host that keeps the names its
  // runs used gives a RunNameClaim here.
  // Rows whose number `filter` names are left out; the status text then
  // ends with a line that counts them. Null (the default) leaves out none.
  void set_row_filter(const RowFilter* filter) { row_filter_ = filter; }

  // Runs the send: hides the status window's owner (the send dialog), opens
  // `status_window`, uploads and reports, and restores the default cursor.
  // Never throws: an unexpected failure shows "Error while processing. Plese
  // check details and try!!!" and is answered in `error`.
  SendRunResult Run(const SendRequest& request, frmPopup& status_window);

 private:
  AddinContext& context_;
  const Worksheet& sheet_;
  std::function<void(const SendProgress&)> progress_;
  const RowFilter* row_filter_ = nullptr;
};

// The line that ends the status text of a run with a row filter.
std::string SkippedRowsLine(std::int64_t skipped_rows);

}  // namespace pelorin
