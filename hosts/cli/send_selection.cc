#include "hosts/cli/send_selection.h"

#include <cstdio>
#include <vector>

#include "core/forms/form.h"
#include "core/host/worksheet.h"
#include "core/messaging/schedule_time.h"

namespace pelorin::cli {
namespace {

struct LaterTime {
  std::string year, month, day, hour, minute;
};

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

LaterTime ParseLater(const std::string& text) {
  // "YYYY-MM-DD HH:MM"
  const bool shaped =
      text.size() == 16 && text[4] == '-' && text[7] == '-' && text[10] == ' ' && text[13] == ':';
  LaterTime later{text.substr(0, 4), shaped ? text.substr(5, 2) : "",
                  shaped ? text.substr(8, 2) : "", shaped ? text.substr(11, 2) : "",
                  shaped ? text.substr(14, 2) : ""};
  if (!shaped || !AllDigits(later.year) || !AllDigits(later.month) || !AllDigits(later.day) ||
      !AllDigits(later.hour) || !AllDigits(later.minute)) {
    throw UsageError("--later: expected \"YYYY-MM-DD HH:MM\", got \"" + text + "\"");
  }
  const LocalDateTime when{std::stoi(later.year), std::stoi(later.month), std::stoi(later.day),
                           std::stoi(later.hour), std::stoi(later.minute), 0};
  if (!IsRealDateTime(when)) throw UsageError("--later: there is no " + text);
  return later;
}

void SelectOffered(forms::Form& form, const char* list, const std::string& value,
                   const std::string& what) {
  const std::vector<std::string>& items = form.control(list).items;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == value) {
      form.SelectItem(list, static_cast<int>(i));
      return;
    }
  }
  std::string offered;
  for (const std::string& item : items) offered += (offered.empty() ? "" : ", ") + item;
  throw UsageError(what + " \"" + value + "\" is not offered" +
                   (offered.empty() ? std::string(" (none is)") : " (offered: " + offered + ")"));
}

void FillRows(forms::Form& form, const SendSelection& selection) {
  if (selection.rows) {
    const std::string& rows = *selection.rows;
    const std::size_t dash = rows.find('-');
    if (dash == std::string::npos) throw UsageError("--rows: expected FIRST-LAST, got " + rows);
    form.Click("optSimpleRange");
    TypeIntoBox(form, "txtStartRow", rows.substr(0, dash), "--rows");
    TypeIntoBox(form, "txtEndRow", rows.substr(dash + 1), "--rows");
  } else {
    form.Click("optMultiRange");
    TypeIntoBox(form, "txtMultiRange", *selection.ranges, "--ranges");
  }
}

void FillSchedule(forms::Form& form, const std::string& text) {
  const LaterTime later = ParseLater(text);
  if (!form.control("chkSendLater").checked) form.Click("chkSendLater");
  SelectOffered(form, "ddlYear", later.year, "--later: the year");
  const int month = std::stoi(later.month);
  const auto& months = form.control("ddlMonth").items;
  if (month < 1 || month > static_cast<int>(months.size())) {
    throw UsageError("--later: there is no month " + later.month);
  }
  form.SelectItem("ddlMonth", month - 1);
  SelectOffered(form, "ddlDay", later.day, "--later: the day");
  SelectOffered(form, "ddlSHH", later.hour, "--later: the hour");
  SelectOffered(form, "ddlSMM", later.minute, "--later: the minute");
}

}  // namespace

void TypeIntoBox(forms::Form& form, const char* box, const std::string& value, const char* what) {
  form.SetText(box, "");
  form.Type(box, value);
  const std::string& typed = form.control(box).text;
  if (typed != value) {
    throw UsageError(std::string(what) + ": the box takes only \"" + typed + "\" of \"" + value +
                     "\"");
  }
}

void CheckLaterIsAhead(const SendSelection& selection, const LocalDateTime& now) {
  if (!selection.later) return;
  const LaterTime later = ParseLater(*selection.later);
  const LocalDateTime when{std::stoi(later.year), std::stoi(later.month), std::stoi(later.day),
                           std::stoi(later.hour), std::stoi(later.minute), 0};
  if (!IsLater(when, now)) {
    throw UsageError("--later: " + *selection.later + " is not in the future");
  }
}

void CheckSendSelection(const SendSelection& selection) {
  if (selection.rows.has_value() == selection.ranges.has_value()) {
    throw UsageError("give exactly one of --rows and --ranges");
  }
  if (!IsValidColumnName(selection.mobile_column)) {
    throw UsageError("--mobile-column: \"" + selection.mobile_column + "\" is not a column");
  }
  if (selection.later) ParseLater(*selection.later);
}

void FillSendForm(forms::Form& form, const SendSelection& selection) {
  CheckSendSelection(selection);
  if (selection.sender) SelectOffered(form, "ddlSenderID", *selection.sender, "--sender");
  // A template of blanks would send blank messages: it counts as empty.
  const bool blank = selection.message.find_first_not_of(" \t\r\n") == std::string::npos;
  form.SetText("txtMessage", blank ? std::string() : selection.message);
  FillRows(form, selection);
  std::string column = selection.mobile_column;
  for (char& c : column) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  SelectOffered(form, "ddlMCol", column, "--mobile-column");
  if (selection.flash != form.control("chkFlash").checked) form.Click("chkFlash");
  if (selection.later) FillSchedule(form, *selection.later);
}

}  // namespace pelorin::cli
