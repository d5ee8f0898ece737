// The designed controls of the send dialog, in the dialog's control order.
#include <string_view>

#include "core/messaging/send_form.h"

namespace pelorin {
namespace {

using forms::Alignment;
using forms::Control;
using forms::ControlKind;
using forms::Rect;

struct ControlRow {
  std::string_view name;
  ControlKind kind;
  std::string_view text;
  Rect rect;
  int tab;
};

constexpr ControlRow kControls[] = {
    {"txtCount", ControlKind::kTextBox, "0", {6960, 2520, 615, 285}, 35},
    {"btnAddCell", ControlKind::kButton, "Add Cell", {7680, 2160, 1095, 285}, 33},
    {"btnPreview", ControlKind::kButton, "Preview", {360, 6720, 1095, 285}, 15},
    {"btnSend", ControlKind::kButton, "Send SMS", {6480, 6720, 1215, 285}, 16},
    {"btnCancel", ControlKind::kButton, "Cancel", {7800, 6720, 975, 285}, 17},
    {"ddlYear", ControlKind::kDropDownList, "", {3600, 6000, 975, 315}, 12},
    {"ddlMonth", ControlKind::kDropDownList, "", {2160, 6000, 1335, 315}, 11},
    {"ddlDay", ControlKind::kDropDownList, "", {1440, 6000, 615, 315}, 10},
    {"ddlSenderID", ControlKind::kDropDownList, "", {1920, 360, 1815, 315}, 0},
    {"ddlEMM", ControlKind::kDropDownList, "", {8160, 5160, 615, 315}, 19},
    {"ddlEHH", ControlKind::kDropDownList, "", {7560, 5160, 615, 315}, 18},
    {"ddlSMM", ControlKind::kDropDownList, "", {7920, 6000, 855, 315}, 14},
    {"ddlSHH", ControlKind::kDropDownList, "", {6960, 6000, 855, 315}, 13},
    {"chkSendLater", ControlKind::kCheckBox, "Send Later", {360, 5640, 1695, 375}, 9},
    {"chkFlash", ControlKind::kCheckBox, "Flash Message", {1920, 2520, 1935, 255}, 2},
    {"txtMultiRange", ControlKind::kTextBox, "", {2280, 4320, 2295, 285}, 7},
    {"optMultiRange", ControlKind::kOptionButton, "Multiple Range", {360, 4320, 1815, 375}, 6},
    {"optSimpleRange", ControlKind::kOptionButton, "Simple Range", {360, 3480, 1815, 255}, 3},
    {"lstCells", ControlKind::kListBox, "", {7680, 840, 1095, 1230}, 20},
    {"txtMessage", ControlKind::kTextBox, "", {1920, 840, 5655, 1575}, 1},
    {"txtEndRow", ControlKind::kTextBox, "", {3360, 3840, 1215, 285}, 5},
    {"txtStartRow", ControlKind::kTextBox, "", {3360, 3480, 1215, 285}, 4},
    {"ddlMCol", ControlKind::kDropDownList, "", {2880, 5040, 1695, 315}, 8},
    {"lblDNDfilter", ControlKind::kLabel, "DND Filter :", {3840, 360, 1215, 255}, 37},
    {"lblDND", ControlKind::kLabel, "", {5160, 240, 3735, 465}, 36},
    {"lblWIDTH", ControlKind::kLabel, "Label1", {2280, 6600, 1335, 375}, 34},
    {"lblSenderID", ControlKind::kLabel, "From :", {480, 360, 1215, 255}, 28},
    {"lblTo", ControlKind::kLabel, "To", {7200, 5160, 375, 255}, 27},
    {"lblSendBetween", ControlKind::kLabel, "Send at", {6120, 6000, 855, 255}, 26},
    {"lblSendDate", ControlKind::kLabel, "Send Date", {360, 6000, 1095, 255}, 25},
    {"lblEndRow", ControlKind::kLabel, "End Row", {2280, 3840, 1095, 255}, 24},
    {"lblStartRow", ControlKind::kLabel, "Start Row", {2280, 3480, 1095, 255}, 23},
    {"lblTextMsg", ControlKind::kLabel, "Text Message :", {360, 840, 1455, 255}, 22},
    {"lblMobileNo", ControlKind::kLabel, "Mobile Number Column", {480, 5040, 2415, 255}, 21},
};

// Hints next to the fields, in regular italic black.
constexpr ControlRow kExampleLabels[] = {
    {"lblSRowEg", ControlKind::kLabel, "(Start Row Eg: 2)", {4800, 3480, 3975, 255}, 31},
    {"lblERowEg", ControlKind::kLabel, "(End Row Eg: 71)", {4800, 3840, 3975, 255}, 32},
    {"lblRangeEg", ControlKind::kLabel, "(Eg: 3-9,35-71)", {4800, 4320, 3975, 255}, 29},
    {"lblMessageEg", ControlKind::kLabel, "(Eg: Dear |C|, Here |C| is the value of column C)",
     {1920, 2880, 5055, 255}, 30},
};

struct LineRow {
  std::string_view name;
  int y;
};

constexpr LineRow kLines[] = {{"lFirst", 3240}, {"lSecond", 4800}, {"lThird", 5520}, {"lFourth", 6480}};
constexpr int kLineLeft = 360;
constexpr int kLineRight = 8785;

// Controls hidden from the start: the schedule fields follow the unchecked
// "Send Later", the others are never shown.
constexpr std::string_view kHiddenAtStart[] = {
    "lblSendDate", "ddlDay", "ddlMonth", "ddlYear", "lblSendBetween", "ddlSHH", "ddlSMM",
    "ddlEHH",      "ddlEMM", "lblTo",    "lblWIDTH",
};

bool HiddenAtStart(std::string_view name) {
  for (std::string_view hidden : kHiddenAtStart) {
    if (hidden == name) return true;
  }
  return false;
}

void ApplyKindColours(Control& c) {
  switch (c.kind) {
    case ControlKind::kLabel:
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton:
      c.back_color = forms::kDialogGrey;
      c.fore_color = forms::kNavy;
      break;
    case ControlKind::kTextBox:
    case ControlKind::kDropDownList:
    case ControlKind::kListBox:
      c.back_color = forms::kWhite;
      c.fore_color = forms::kBlack;
      break;
    default:
      break;
  }
}

Control FromRow(const ControlRow& row) {
  Control c;
  c.name = std::string(row.name);
  c.kind = row.kind;
  c.text = std::string(row.text);
  c.rect = row.rect;
  c.tab_index = row.tab;
  c.font.bold = true;
  ApplyKindColours(c);
  c.visible = !HiddenAtStart(row.name);
  return c;
}

// What the table's notes add to the plain rows.
void ApplyNotes(Control& c) {
  if (c.name == "txtCount") {
    c.font.bold = false;
    c.enabled = false;
  } else if (c.name == "txtMultiRange") {
    c.max_length = 100;
    c.enabled = false;
  } else if (c.name == "txtStartRow" || c.name == "txtEndRow") {
    c.max_length = 7;
  } else if (c.name == "txtMessage") {
    c.multiline = true;
    c.vertical_scroll_bar = true;
  } else if (c.name == "optSimpleRange") {
    c.checked = true;
  } else if (c.name == "lblDNDfilter" || c.name == "lblSenderID") {
    c.alignment = Alignment::kRight;
  } else if (c.name == "lblWIDTH") {
    c.auto_size = true;
  }
}

Control FromLine(const LineRow& row) {
  Control c;
  c.name = std::string(row.name);
  c.kind = ControlKind::kLine;
  c.rect = {kLineLeft, row.y, kLineRight - kLineLeft, 0};
  c.fore_color = forms::kLineGrey;
  c.visible = row.name != "lFourth";
  return c;
}

}  // namespace

void frmSendSMS::BuildControls() {
  for (const ControlRow& row : kControls) {
    Control c = FromRow(row);
    ApplyNotes(c);
    AddControl(std::move(c));
  }
  for (const ControlRow& row : kExampleLabels) {
    Control c = FromRow(row);
    c.font.bold = false;
    c.font.italic = true;
    c.fore_color = forms::kBlack;
    AddControl(std::move(c));
  }
  for (const LineRow& row : kLines) AddControl(FromLine(row));
  WireHandlers();
}

}  // namespace pelorin
