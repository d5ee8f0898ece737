#include "core/messaging/send_run.h"

#include <exception>
#include <optional>
#include <stdexcept>

#include "core/host/user_interface.h"
#include "core/messaging/compose_upload.h"
#include "core/messaging/message_merge.h"
#include "core/messaging/packet_size.h"
#include "core/messaging/popup_form.h"
#include "core/messaging/run_file_name.h"
#include "core/messaging/run_name_claim.h"
#include "core/messaging/send_journal.h"
#include "core/messaging/status_report.h"
#include "core/settings/settings_store.h"

namespace pelorin {
namespace {

constexpr std::string_view kProcessingError =
    "Error while processing. Plese check details and try!!!";

// The status window was closed while packets remained: the user has
// dismissed the run, so nothing more is sent.
struct RunDismissed {};

constexpr RowRange kNoRows{0, 0};  // a closing packet's rows in the journal

std::int64_t RowCount(RowRange range) { return range.last - range.first + 1; }

std::string StartLine(RowRange range) {
  return "Process started... (Range from " + std::to_string(range.first) + " to " +
         std::to_string(range.last) + ")" + std::string(kLineBreak);
}

// One run over the ranges of a request; SendSimpleRange and SendRange.
class RangeRunner {
 public:
  RangeRunner(AddinContext& context, const Worksheet& sheet, const SendRequest& request,
              frmPopup& window, ComposeUpload& upload, JournalWriter* journal,
              const std::function<void(const SendProgress&)>& progress, const RowFilter* filter)
      : ui_(context.ui),
        settings_(context.settings),
        request_(request),
        window_(window),
        upload_(upload),
        journal_(journal),
        progress_(progress),
        merge_(sheet, request.mobile_column, MessageTemplate(request.message_template)) {
    for (RowRange range : request.ranges)
      progress_total_ += std::max<std::int64_t>(0, RowCount(range));
    merge_.set_row_filter(filter);
  }

  void RunSimple() {
    ReportProgress(0);
    Guarded([&] { SendRangeRows(request_.ranges.front(), compose::kAll, /*simple=*/true); });
  }

  void RunMultiple() {
    ReportProgress(0);
    for (std::size_t i = 0; i < request_.ranges.size(); ++i) {
      const bool last = i + 1 == request_.ranges.size();
      Guarded([&] {
        SendRangeRows(request_.ranges[i], last ? compose::kEnd : compose::kStart, false);
      });
      // Closed after an item of one packet, which does not look itself.
      if (!window_.loaded()) dismissed_ = true;
      if (dismissed_) break;
      rows_before_range_ += std::max<std::int64_t>(0, RowCount(request_.ranges[i]));
    }
    // The service delivers a run only once it is closed; items reported as
    // completed must not be left waiting because the last one sent nothing,
    // failed or was cut short by Close.
    if (end_sent_) return;
    if (dismissed_ || failure_reported_ || !error_.empty()) {
      // A journaled run whose packet was not accepted stays open, so that a
      // resume can finish it under the same name.
      if (journal_ != nullptr && unaccepted_) return;
      // Quietly: the report would announce a completion that did not happen.
      Upload(ComposeUpload::StartBody(), compose::kEnd, kNoRows, 0);
      return;
    }
    CloseRun(compose::kEnd, 0, 0, 0);
  }

  // Ends the status text with the count of rows the filter left out.
  void ReportSkippedRows() {
    StartNewLine(status_);
    status_ += SkippedRowsLine(merge_.skipped_rows());
    status_ += kLineBreak;
    if (window_.loaded()) window_.ShowStatus(status_);
  }

  const std::string& status() const { return status_; }
  const std::string& error() const { return error_; }
  bool dismissed() const { return dismissed_; }
  bool failure_reported() const { return failure_reported_; }

 private:
  // An error inside a range ends it without a message; the window keeps
  // what it shows.
  template <typename Body>
  void Guarded(Body body) {
    try {
      body();
    } catch (const RunDismissed&) {
      dismissed_ = true;
    } catch (const std::exception& failure) {
      if (error_.empty()) error_ = failure.what();
    }
  }

  void SendRangeRows(RowRange range, std::string_view range_state, bool simple) {
    if (simple) {
      status_ = StartLine(range);
    } else {
      StartNewLine(status_);
      status_ += StartLine(range);
    }
    window_.ShowStatus(status_);
    const std::int64_t rows = RowCount(range);
    const std::int64_t packet_size = ReadPacketSize(settings_);
    if (rows <= packet_size) {
      SendOnePacket(range, range_state, simple);
    } else {
      SendPackets(range, packet_size, simple ? compose::kEnd : range_state);
    }
  }

  void SendOnePacket(RowRange range, std::string_view range_state, bool simple) {
    const std::int64_t rows = RowCount(range);
    std::int64_t empty_rows = 0;
    std::string body = ComposeUpload::StartBody();
    const std::size_t records = merge_.AppendEncodedRecords(range, empty_rows, body);
    if (records == 0) {
      if (simple) Report(compose::kFailed, rows, rows, empty_rows, compose::kAll);
      return;  // an item with nothing to send sends nothing
    }
    std::string response = Upload(std::move(body), range_state, range, records);
    if (simple && response.empty()) response = compose::kFailed;
    Report(response, rows, rows, empty_rows, compose::kAll);
  }

  void SendPackets(RowRange range, std::int64_t packet_size, std::string_view final_state) {
    const std::int64_t rows = RowCount(range);
    std::int64_t processed = 0;
    std::int64_t empty_rows = 0;
    std::string_view last_state;
    for (std::int64_t first = range.first; first <= range.last; first += packet_size) {
      ui_.YieldToMessageLoop();
      if (!window_.loaded()) throw RunDismissed{};
      std::int64_t end = first + packet_size - 1;
      std::string_view state = compose::kStart;
      if (end > range.last) {
        end = range.last;
        state = final_state;
        processed = rows;
      } else {
        processed += packet_size;
      }
      std::string body = ComposeUpload::StartBody();
      const std::int64_t skipped_before = merge_.skipped_rows();
      const std::size_t records = merge_.AppendEncodedRecords({first, end}, empty_rows, body);
      // A packet whose numbers were all left out is sent empty: its rows
      // are there, so the range has not run past the sheet's end.
      if (records == 0 && merge_.skipped_rows() == skipped_before && state != compose::kEnd) {
        Report(compose::kOutOfRange, processed, rows, empty_rows, state);
        return;
      }
      std::string response = Upload(std::move(body), state, {first, end}, records);
      if (response != compose::kSuccess) {
        Report(compose::kFailed, processed, rows, empty_rows, state);
        return;
      }
      Report(response, processed, rows, empty_rows, state);
      last_state = state;
    }
    // Ended exactly on a packet boundary: the service still waits for the
    // packet that closes the range.
    if (last_state == compose::kStart) CloseRun(final_state, processed, rows, empty_rows);
  }

  // Sends the empty packet that closes a range or the run with `state`;
  // its report always speaks of the end.
  void CloseRun(std::string_view state, std::int64_t processed, std::int64_t rows,
                std::int64_t empty_rows) {
    std::string response = Upload(ComposeUpload::StartBody(), state, kNoRows, 0);
    if (response != compose::kSuccess) {
      response = compose::kFailed;
      failure_reported_ = true;
    }
    ShowClosingResult(window_, status_, {response, processed, rows, empty_rows, compose::kEnd});
    ReportProgress(processed);
  }

  std::string Upload(std::string body, std::string_view state, RowRange rows,
                     std::size_t records) {
    if (state == compose::kEnd) end_sent_ = true;
    std::string reply = JournaledUpload(journal_, upload_, std::move(body), state, rows,
                                        static_cast<std::int64_t>(records));
    if (reply != compose::kSuccess) unaccepted_ = true;
    return reply;
  }

  void Report(std::string_view response, std::int64_t processed, std::int64_t rows,
              std::int64_t empty_rows, std::string_view state) {
    if (response != compose::kSuccess) failure_reported_ = true;
    ShowPacketResult(window_, status_, {response, processed, rows, empty_rows, state});
    ReportProgress(std::min(processed, rows));
  }

  void ReportProgress(std::int64_t processed_in_range) {
    if (progress_) progress_({rows_before_range_ + processed_in_range, progress_total_});
  }

  UserInterface& ui_;
  const SettingsStore& settings_;
  const SendRequest& request_;
  frmPopup& window_;
  ComposeUpload& upload_;
  JournalWriter* journal_;
  const std::function<void(const SendProgress&)>& progress_;
  MessageMerge merge_;
  std::string status_;
  std::string error_;
  std::int64_t rows_before_range_ = 0;
  std::int64_t progress_total_ = 0;
  bool end_sent_ = false;
  bool dismissed_ = false;
  bool failure_reported_ = false;
  bool unaccepted_ = false;  // some upload was not answered with success
};

SendOutcome OutcomeOf(const RangeRunner& runner, frmPopup& window) {
  if (runner.failure_reported()) return SendOutcome::kFailed;
  if (runner.dismissed() || !runner.error().empty() || !window.close_enabled()) {
    return SendOutcome::kUnfinished;
  }
  return SendOutcome::kCompleted;
}

}  // namespace

SendRunResult SendRun::Run(const SendRequest& request, frmPopup& status_window) {
  SendRunResult result;
  try {
    if (request.ranges.empty()) throw std::invalid_argument("the send request names no rows");
    // One reading: a run started at 23:59:59 must not take its day from
    // before midnight and its hour from after it.
    const std::string user_id = context_.settings.SessionUserId();
    result.started = context_.run_names != nullptr ? context_.run_names->Claim(user_id)
                                                   : context_.clock.Now();
    result.run_file_name = RunFileName(user_id, result.started);
    ComposeUpload upload(context_, request, result.run_file_name);
    std::optional<JournalWriter> journal;
    if (context_.run_journal != nullptr) {
      journal.emplace(JournalWriter::Begin(
          *context_.run_journal,
          DescribeRun(context_, request, result.run_file_name, result.started)));
      result.journal_name = journal->run().name;
    }
    RangeRunner runner(context_, sheet_, request, status_window, upload,
                       journal ? &*journal : nullptr, progress_, row_filter_);
    status_window.Open();
    if (request.multiple_range) {
      runner.RunMultiple();
    } else {
      runner.RunSimple();
    }
    if (row_filter_ != nullptr) runner.ReportSkippedRows();
    result.status_text = runner.status();
    result.error =
        runner.dismissed() ? "the status window was closed during the run" : runner.error();
    if (journal) {
      try {
        journal->Flush();
      } catch (const std::exception& failure) {
        if (result.error.empty()) result.error = failure.what();
      }
    }
    result.outcome = OutcomeOf(runner, status_window);
  } catch (const std::exception& failure) {
    context_.ui.MessageBox(kProcessingError, message_box::kOkOnly, message_box::kDefaultTitle);
    result.error = failure.what();
    result.outcome = SendOutcome::kUnfinished;
  }
  context_.ui.SetBusyCursor(false);
  return result;
}

std::string SkippedRowsLine(std::int64_t skipped_rows) {
  return std::to_string(skipped_rows) + " record(s) skipped for the exclusion list";
}

}  // namespace pelorin
