#include "hosts/cli/check_command.h"

#include <nlohmann/json.hpp>

#include "core/addin/credit_query.h"
#include "core/messaging/exclusion_list.h"
#include "core/messaging/message_editor.h"
#include "core/messaging/number_region.h"
#include "core/messaging/send_check.h"
#include "core/messaging/send_check_text.h"
#include "core/messaging/send_form.h"
#include "core/settings/settings_store.h"
#include "core/text/replace.h"
#include "hosts/cli/cli_runtime.h"
#include "hosts/cli/exclusion_file.h"
#include "hosts/cli/exit_status.h"
#include "hosts/cli/opened_workbook.h"
#include "platform/phonenumbers/lib_phone_numbers.h"
#include "platform/posix/locale_region.h"

namespace pelorin::cli {
namespace {

using json = nlohmann::ordered_json;

// The numbering plans, the region they read numbers in, and the exclusion
// list when one was given.
struct NumberServices {
  NumberServices(const SettingsStore& settings, const std::optional<std::string>& exclude_path,
                 std::ostream& err)
      : region(NumberRegion(settings, numbers, posix::LocaleRegion())) {
    if (!exclude_path) return;
    excluded = std::make_unique<ExclusionList>(numbers, region);
    for (const std::string& entry : ReadExclusionEntries(*exclude_path)) excluded->Add(entry);
    // A header line is the usual one; anything more is worth a look.
    const auto& unreadable = excluded->unreadable();
    if (!unreadable.empty()) {
      err << "pelorin: --exclude: " << unreadable.size() << " entr"
          << (unreadable.size() == 1 ? "y holds" : "ies hold") << " no number (\""
          << unreadable.front() << "\"" << (unreadable.size() > 1 ? ", ..." : "") << ")\n";
    }
  }

  phonenumbers::LibPhoneNumbers numbers;
  std::string region;
  std::unique_ptr<ExclusionList> excluded;
};

// Types each character as into the dialog's box, whose key filter decides.
void TypeChecked(const std::string& value, void (*filter)(forms::KeyCode&), const char* what) {
  for (char c : value) {
    forms::KeyCode key = static_cast<unsigned char>(c);
    filter(key);
    if (key == 0) throw UsageError(std::string(what) + ": the box does not take \"" + value + "\"");
  }
}

// What the send dialog's controls would hold once the flags filled them.
SendDialogInput InputOf(const SendSelection& selection) {
  SendDialogInput input;
  input.message = selection.message;
  for (char c : selection.mobile_column) {
    input.mobile_column += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  if (selection.rows) {
    const std::string& rows = *selection.rows;
    const std::size_t dash = rows.find('-');
    if (dash == std::string::npos) throw UsageError("--rows: expected FIRST-LAST, got " + rows);
    input.start_row = rows.substr(0, dash);
    input.end_row = rows.substr(dash + 1);
    TypeChecked(input.start_row, FilterRowCharacter, "--rows");
    TypeChecked(input.end_row, FilterRowCharacter, "--rows");
  } else {
    input.multiple_range = true;
    input.range_text = *selection.ranges;
    TypeChecked(input.range_text, FilterRangeCharacter, "--ranges");
  }
  return input;
}

// The credit the service reports, when someone is logged in and the reply
// is a number.
std::optional<std::int64_t> AvailableCredits(CliRuntime& runtime, std::ostream& err) {
  if (!runtime.settings().IsLoggedIn()) return std::nullopt;
  const std::string reply = CreditQuery(runtime.context()).Run();
  const std::string_view digits = TrimSpaces(reply);
  if (!digits.empty() && digits.size() < 18 &&
      digits.find_first_not_of("0123456789") == std::string_view::npos) {
    return std::stoll(std::string(digits));
  }
  err << "pelorin: the service's credit reply \"" << reply << "\" is not a number\n";
  return std::nullopt;
}

json JsonReport(const SendCheckReport& report) {
  json by_segments = json::object();
  for (const auto& [segments, messages] : report.messages_by_segments) {
    by_segments[std::to_string(segments)] = messages;
  }
  json invalid = json::array();
  for (const NumberProblem& problem : report.invalid) {
    invalid.push_back({{"row", problem.row},
                       {"mobile", problem.mobile},
                       {"problem", NumberProblemText(problem.kind)}});
  }
  json duplicates = json::array();
  for (const DuplicateNumber& duplicate : report.duplicates) {
    duplicates.push_back({{"number", duplicate.e164}, {"rows", duplicate.rows}});
  }
  json excluded = json::array();
  for (const ExcludedRow& row : report.excluded) {
    excluded.push_back({{"row", row.row}, {"mobile", row.mobile}});
  }
  json empty = json::array();
  for (const RowRange& run : report.empty_rows) {
    empty.push_back({{"first", run.first}, {"last", run.last}});
  }
  return {{"region", report.region},
          {"rows", report.rows},
          {"messages", report.messages},
          {"segments", report.segments},
          {"gsm_messages", report.gsm_messages},
          {"ucs2_messages", report.ucs2_messages},
          {"messages_by_segments", by_segments},
          {"credits_needed", report.segments},
          {"credits_available", report.credits ? json(*report.credits) : json(nullptr)},
          {"would_fail", report.WouldFail()},
          {"invalid", invalid},
          {"duplicates", duplicates},
          {"excluded", excluded},
          {"empty_row_count", report.empty_row_count},
          {"empty_rows", empty},
          {"error", report.error.empty() ? json(nullptr) : json(report.error)}};
}

void PrintReport(const SendCheckReport& report, bool as_json, std::ostream& out) {
  if (as_json) {
    // Replaces bytes that are not UTF-8 rather than failing on a cell.
    out << JsonReport(report).dump(2, ' ', false, json::error_handler_t::replace) << '\n';
  } else {
    out << FormatCheckReport(report);
  }
}

}  // namespace

int RunCheckCommand(CliRuntime& runtime, const std::string& path, const SendSelection& selection,
                    const CheckFlags& flags, std::ostream& out, std::ostream& err) {
  CheckSendSelection(selection);
  const SendValidation checked = ValidateCheckRequest(InputOf(selection));
  if (checked.outcome != SendValidation::Outcome::kAccepted) {
    err << checked.refusal.message << '\n';
    return kExitRefused;
  }
  NumberServices services(runtime.settings(), flags.exclude, err);
  std::unique_ptr<OpenedWorkbook> opened;
  try {
    opened = std::make_unique<OpenedWorkbook>(runtime, path, selection);
  } catch (const workbook::WorkbookError& error) {
    err << "pelorin: " << error.what() << '\n';
    return kExitBadInput;
  }
  const SendCheck check(services.numbers, services.region, services.excluded.get());
  SendCheckReport report = check.Run(runtime.application().ActiveSheet(), checked.request);
  report.credits = AvailableCredits(runtime, err);
  PrintReport(report, flags.json, out);
  return report.WouldFail() ? kExitRefused : kExitOk;
}

int RunRegionCommand(CliRuntime& runtime, const std::optional<std::string>& code, bool forget,
                     std::ostream& out, std::ostream& err) {
  SettingsStore& settings = runtime.settings();
  const phonenumbers::LibPhoneNumbers numbers;
  if (forget) {
    settings.SaveNumberRegion("");
    return kExitOk;
  }
  if (!code) {
    const std::string region = NumberRegion(settings, numbers, posix::LocaleRegion());
    const bool stored = NormalizeRegionCode(settings.StoredNumberRegion()) == region;
    const bool from_locale = NormalizeRegionCode(posix::LocaleRegion()) == region;
    out << region << (stored ? "" : from_locale ? " (from the locale)" : " (default)") << '\n';
    return kExitOk;
  }
  const std::string region = NormalizeRegionCode(*code);
  if (region.empty() || !numbers.IsKnownRegion(region)) {
    err << "pelorin region: \"" << *code << "\" is not a region code such as IN or GB\n";
    return kExitBadInput;
  }
  settings.SaveNumberRegion(region);
  return kExitOk;
}

struct SendCheckHooks::State {
  State(CliRuntime& runtime, const SendCheckFlags& flags, std::ostream& out, std::ostream& err)
      : runtime(runtime), flags(flags), out(out), err(err),
        services(runtime.settings(), flags.exclude, err) {}

  // Runs the check on the request the dialog accepted; false when the send
  // must not go ahead.
  bool Allows(const SendRequest& request) {
    const SendCheck check(services.numbers, services.region, services.excluded.get());
    SendCheckReport report = check.Run(runtime.application().ActiveSheet(), request);
    report.credits = AvailableCredits(runtime, err);
    if (!report.WouldFail() || flags.force) {
      PrintReport(report, false, err);
      return true;
    }
    PrintReport(report, false, out);
    err << "pelorin: nothing was sent: the check found rows that would fail (--force sends "
           "anyway)\n";
    return false;
  }

  CliRuntime& runtime;
  SendCheckFlags flags;
  std::ostream& out;
  std::ostream& err;
  NumberServices services;
};

SendCheckHooks::SendCheckHooks(CliRuntime& runtime, const SendCheckFlags& flags,
                               std::ostream& out, std::ostream& err) {
  if (flags.exclude || flags.check) state_ = std::make_unique<State>(runtime, flags, out, err);
}

SendCheckHooks::~SendCheckHooks() = default;

void SendCheckHooks::Attach(frmSendSMS& dialog) {
  if (!state_) return;
  if (state_->services.excluded) dialog.SetRowFilter(state_->services.excluded.get());
  if (state_->flags.check) {
    dialog.SetSendGate([state = state_.get()](const SendRequest& request) {
      return state->Allows(request);
    });
  }
}

}  // namespace pelorin::cli
