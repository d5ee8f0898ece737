// What the send dialog does when it loads: the stored and the served DND
// status, the sender IDs, and the column, time and date lists.
#include <algorithm>
#include <array>
#include <exception>
#include <string>

#include "core/host/clock.h"
#include "core/host/user_interface.h"
#include "core/messaging/send_form.h"
#include "core/messaging/sender_ids.h"
#include "core/service/service_client.h"
#include "core/service/service_pages.h"
#include "core/service/url_encode.h"
#include "core/settings/settings_store.h"
#include "core/settings/value_names.h"
#include "core/text/replace.h"

namespace pelorin {
namespace {

constexpr int kColumnCount = 256;  // "A" to "IV"

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December",
};

std::string TwoDigits(int value) {
  return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

// "A".."Z", then "AA".."AZ", "BA" and so on: a column's letters by number.
std::string ColumnName(int number) {
  std::string name;
  while (number > 0) {
    int digit = (number - 1) % 26;
    name.insert(name.begin(), static_cast<char>('A' + digit));
    number = (number - 1) / 26;
  }
  return name;
}

void FillNumbers(forms::Control& list, int from, int to) {
  for (int value = from; value <= to; ++value) list.AddItem(TwoDigits(value));
}

void SelectIndex(forms::Control& list, int index) {
  if (index >= 0 && index < static_cast<int>(list.items.size())) list.selected_index = index;
}

}  // namespace

void frmSendSMS::OnLoad() {
  // A reloaded dialog asks the service again; an exemption learnt by an
  // earlier load must not outlive it.
  dnd_code_.clear();
  try {
    UserInterface& ui = context_.ui;
    ui.SetBusyCursor(false);
    forms::Control& count = control("txtCount");
    count.enabled = false;
    count.text = "0";
    control("lblDNDfilter").visible = false;
    control("lblDND").visible = false;

    std::string stored_status;
    ShowStoredStatus(stored_status);

    std::string url = service_pages::Url(
        context_.settings.ServiceHost(),
        ReplaceAll(std::string(service_pages::kSenderIds), "!UID!",
                   PercentEncodeQueryValue(context_.settings.SessionUserId())));
    std::string reply = context_.service.strHttpPost(url);
    // A failed request is not a sender ID: the list stays empty and the
    // stored status stays as it was.
    if (reply != kTransportError) ApplySenderIdReply(reply, stored_status);

    control("txtMultiRange").enabled = false;
    FillColumnLists();
    LocalDateTime now = context_.clock.Now();
    FillHourLists(stored_status, now.hour);
    FillDateAndMinuteLists();
    HideScheduleFields();
  } catch (const std::exception&) {
    // The dialog opens with whatever the steps before the error set.
  }
}

void frmSendSMS::ShowStoredStatus(std::string& stored_status) {
  std::string cid = context_.settings.strGetSetting(value_names::kDndStatus);
  if (!cid.empty()) stored_status = cid;
  if (stored_status.empty() || stored_status == "0") return;
  ArrangeStatusOnly();
  forms::Control& status = control("lblDND");
  if (auto caption = DndCategoryCaption(stored_status)) {
    status.text = std::string(*caption);
  } else if (stored_status == kDndExemptCode) {
    ArrangeSenderAndStatus();
    control("lblDNDfilter").rect.height = status.rect.height;
    status.text = std::string(kDndInactiveCaption);
  } else {
    status.fore_color = forms::kRed;
    status.text = std::string(kDndActiveCaption);
  }
}

void frmSendSMS::ApplySenderIdReply(const std::string& reply, std::string& stored_status) {
  SenderIdReply parts = SplitSenderIdReply(reply);
  if (parts.code.empty() && (parts.list == "0" || parts.list.empty())) return;
  ArrangeStatusOnly();
  forms::Control& status = control("lblDND");
  status.fore_color = forms::kNavy;
  status.rect.height = control("lblDNDfilter").rect.height;
  if (parts.code == "0") return;
  if (parts.code == kNoStatusCode) {
    ApplyPlainList(parts.list, stored_status);
  } else {
    ApplyCodedReply(parts.code, parts.list, stored_status);
  }
}

// A reply without a code: a bare category or "10", or the sender IDs of an
// account outside the DND filter.
void frmSendSMS::ApplyPlainList(const std::string& list, std::string& stored_status) {
  forms::Control& status = control("lblDND");
  if (DndCategoryCaption(list) || list == kDndActiveCode) {
    ShowCategoryOrActive(list);
    return;
  }
  ArrangeSenderAndStatus();
  status.rect.height = 255;
  status.text = std::string(kDndInactiveCaption);
  FillSenderIds(list);
  dnd_code_ = std::string(kDndExemptCode);
  StoreStatus(stored_status == "0" ? "0" : kDndExemptCode, stored_status);
}

void frmSendSMS::ApplyCodedReply(const std::string& code, const std::string& list,
                                 std::string& stored_status) {
  if (list.empty()) {
    ArrangeStatusOnly();
    control("lblDND").fore_color = forms::kNavy;
  } else {
    ArrangeStatusRight();
  }
  ShowCategoryOrActive(code);
  if (list == "1") {
    control("lblDND").text = std::string(*DndCategoryCaption("1"));
    return;
  }
  if (!list.empty()) {
    forms::Control& label = control("lblSenderID");
    forms::Control& senders = control("ddlSenderID");
    label.rect.left = 600;
    label.rect.width = 1215;
    senders.rect.left = 1920;
    senders.rect.width = 1815;
    label.visible = true;
    senders.visible = true;
    FillSenderIds(list);
  }
  StoreStatus(code, stored_status);
}

// A category shows its caption; "10" shows the active filter in red; any
// other code leaves the caption as it was.
void frmSendSMS::ShowCategoryOrActive(std::string_view code) {
  forms::Control& status = control("lblDND");
  if (auto caption = DndCategoryCaption(code)) {
    status.text = std::string(*caption);
  } else if (code == kDndActiveCode) {
    status.fore_color = forms::kRed;
    status.text = std::string(kDndActiveCaption);
  }
}

void frmSendSMS::StoreStatus(std::string_view code, std::string& stored_status) {
  context_.settings.SaveDNDStatus(code);
  stored_status = context_.settings.strGetSetting(value_names::kDndStatus);
}

void frmSendSMS::FillSenderIds(const std::string& list) {
  forms::Control& senders = control("ddlSenderID");
  senders.ClearItems();
  for (std::string& id : SplitSenderIds(list)) senders.AddItem(std::move(id));
  SelectIndex(senders, 0);
}

void frmSendSMS::FillColumnLists() {
  for (std::string_view name : {"lstCells", "ddlMCol"}) {
    forms::Control& list = control(name);
    list.ClearItems();
    for (int number = 1; number <= kColumnCount; ++number) list.AddItem(ColumnName(number));
    SelectIndex(list, 0);
  }
}

// An exempt account may schedule at any hour; any other one only within the
// DND window, the current hour clamped into it.
void frmSendSMS::FillHourLists(const std::string& stored_status, int hour) {
  bool exempt = dnd_code_ == kDndExemptCode;
  for (std::string_view name : {"ddlSHH", "ddlEHH"}) {
    forms::Control& list = control(name);
    list.ClearItems();
    if (exempt && (stored_status == kDndExemptCode || stored_status == "0")) {
      FillNumbers(list, 0, 23);
      SelectIndex(list, hour);
    } else if (!exempt) {
      FillNumbers(list, 9, 20);
      SelectIndex(list, std::clamp(hour, 9, 20) - 9);
    }
  }
}

void frmSendSMS::FillDateAndMinuteLists() {
  LocalDateTime now = context_.clock.Now();
  for (std::string_view name : {"ddlSMM", "ddlEMM"}) {
    forms::Control& list = control(name);
    list.ClearItems();
    FillNumbers(list, 0, 59);
    SelectIndex(list, now.minute);
  }
  forms::Control& year = control("ddlYear");
  year.ClearItems();
  for (int offset = 0; offset < 4; ++offset) year.AddItem(std::to_string(now.year + offset));
  SelectIndex(year, 0);

  forms::Control& month = control("ddlMonth");
  month.ClearItems();
  for (std::string_view name : kMonthNames) month.AddItem(std::string(name));
  SelectIndex(month, now.month - 1);

  forms::Control& day = control("ddlDay");
  day.ClearItems();
  FillNumbers(day, 1, 31);
  SelectIndex(day, now.day - 1);
}

void frmSendSMS::ArrangeStatusOnly() {
  control("ddlSenderID").visible = false;
  control("lblSenderID").visible = false;
  forms::Control& status = control("lblDND");
  status.visible = true;
  status.rect.left = 1920;
  status.rect.width = 6500;
  forms::Control& filter = control("lblDNDfilter");
  filter.visible = true;
  filter.rect.left = 600;
}

void frmSendSMS::ArrangeSenderAndStatus() {
  forms::Control& label = control("lblSenderID");
  forms::Control& senders = control("ddlSenderID");
  label.visible = true;
  senders.visible = true;
  label.rect.left = 600;
  label.rect.width = 1215;
  senders.rect.left = 1920;
  senders.rect.width = 1815;
  forms::Control& filter = control("lblDNDfilter");
  filter.rect.left = 4080;
  filter.rect.width = 1215;
  filter.visible = true;
  forms::Control& status = control("lblDND");
  status.rect.left = 5400;
  status.rect.width = 2775;
  status.visible = true;
}

void frmSendSMS::ArrangeStatusRight() {
  forms::Control& status = control("lblDND");
  status.rect.left = 5280;
  status.rect.width = 3775;
  status.rect.height = 455;
  control("lblDNDfilter").rect.left = 3840;
}

}  // namespace pelorin
