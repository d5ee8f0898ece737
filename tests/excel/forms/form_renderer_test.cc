// The renderer under Wine: every dialog in real windows, typed into with real
// keyboard messages and clicked with real button messages, the model checked.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/forms/form_sync.h"
#include "hosts/excel/forms/form_window.h"
#include "hosts/excel/forms/screen_units.h"
#include "hosts/excel/forms/wide_text.h"
#include "tests/excel/forms/gallery.h"

namespace pelorin::excel {
namespace {

using gallery::Gallery;

std::wstring TextOf(HWND window) {
  wchar_t buffer[4096] = {};
  GetWindowTextW(window, buffer, 4096);
  return buffer;
}

class RendererTest : public ::testing::Test {
 protected:
  void Pump() {
    for (int i = 0; i < 3; ++i) g.presenter.PumpMessages();
  }
  HWND Window(const forms::Form& form) { return g.presenter.FormWindowOf(form); }
  HWND Native(const forms::Form& form, std::string_view name) {
    HWND window = g.presenter.ControlWindowOf(form, name);
    EXPECT_NE(window, nullptr) << name;
    return window;
  }
  // Keys as a keyboard sends them: key down (from which the message loop
  // makes the character) and key up, posted to the box.
  void Press(HWND box, wchar_t character) {
    SHORT scan = VkKeyScanW(character);
    if (character < 0x80 && scan != -1 && (scan & 0x0100) == 0) {
      PostMessageW(box, WM_KEYDOWN, LOBYTE(scan), 1);
      PostMessageW(box, WM_KEYUP, LOBYTE(scan), 0xC0000001);
    } else {
      PostMessageW(box, WM_CHAR, character, 1);
    }
    Pump();
  }
  void Type(HWND box, const std::wstring& text) {
    for (wchar_t c : text) Press(box, c);
  }
  void PressButton(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
  }

  Gallery g;
};

TEST_F(RendererTest, EveryControlSitsAtItsTwipsWithItsCaptionAndFont) {
  for (std::string_view scene : {"login", "send", "proxy", "packet", "preview"}) {
    Gallery each;
    ASSERT_TRUE(each.Open(scene));
    each.presenter.PumpMessages();
    std::vector<forms::Form*> forms;
    if (each.login) forms.push_back(each.login.get());
    if (each.send) forms.push_back(each.send.get());
    if (each.proxy) forms.push_back(each.proxy.get());
    if (each.packet) forms.push_back(each.packet.get());
    if (each.send && !each.send->previews().empty()) forms.push_back(each.send->previews().back().get());
    for (forms::Form* form : forms) {
      HWND dialog = each.presenter.FormWindowOf(*form);
      if (dialog == nullptr) continue;
      int dpi = WindowDpi(dialog);
      RECT client;
      GetClientRect(dialog, &client);
      EXPECT_EQ(client.right, TwipsToPixels(form->client_width(), dpi)) << form->name();
      EXPECT_EQ(client.bottom, TwipsToPixels(form->client_height(), dpi)) << form->name();
      EXPECT_EQ(TextOf(dialog), Widen(form->caption())) << form->name();
      for (const auto& control : form->controls()) {
        std::string where = form->name() + "." + control->name;
        HWND native = each.presenter.ControlWindowOf(*form, control->name);
        ASSERT_NE(native, nullptr) << where;
        EXPECT_EQ(ControlNameOf(native), control->name) << where;
        RECT r;
        GetWindowRect(native, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        RECT expected = TwipsToPixels(control->rect, dpi);
        EXPECT_EQ(r.left, expected.left) << where;
        EXPECT_EQ(r.top, expected.top) << where;
        EXPECT_EQ(r.right, expected.right) << where;
        if (control->kind != forms::ControlKind::kDropDownList && control->kind != forms::ControlKind::kLine) {
          EXPECT_EQ(r.bottom, expected.bottom) << where;
        }
        EXPECT_EQ(IsWindowVisible(native) != FALSE, control->visible) << where;
        EXPECT_EQ(IsWindowEnabled(native) != FALSE, control->enabled) << where;
        if (control->kind == forms::ControlKind::kLabel || control->kind == forms::ControlKind::kButton ||
            control->kind == forms::ControlKind::kCheckBox || control->kind == forms::ControlKind::kOptionButton) {
          EXPECT_EQ(TextOf(native), Widen(control->text)) << where;
        }
        if (control->kind == forms::ControlKind::kLine || control->kind == forms::ControlKind::kPicture) continue;
        LOGFONTW font{};
        auto hfont = reinterpret_cast<HFONT>(SendMessageW(native, WM_GETFONT, 0, 0));
        ASSERT_NE(hfont, nullptr) << where;
        GetObjectW(hfont, sizeof font, &font);
        EXPECT_EQ(Narrow(font.lfFaceName), control->font.name) << where;
        EXPECT_EQ(font.lfHeight, -MulDiv(static_cast<int>(control->font.size_pt * 100 + 0.5), dpi, 7200))
            << where;
        EXPECT_EQ(font.lfWeight >= FW_BOLD, control->font.bold) << where;
        EXPECT_EQ(font.lfItalic != 0, control->font.italic) << where;
      }
    }
  }
}

TEST_F(RendererTest, ControlsAreCreatedInTabOrder) {
  g.Open("send");
  Pump();
  HWND dialog = Window(*g.send);
  std::vector<HWND> expected;
  for (forms::Control* c : forms::InTabOrder(*g.send)) expected.push_back(Native(*g.send, c->name));
  std::vector<HWND> created;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    created.push_back(child);
  }
  EXPECT_EQ(created, expected);

  // Tab visits the boxes in their order.
  SetFocus(Native(*g.send, "txtStartRow"));
  EXPECT_EQ(GetNextDlgTabItem(dialog, Native(*g.send, "txtStartRow"), FALSE), Native(*g.send, "txtEndRow"));
}

TEST_F(RendererTest, RefusedKeysNeverReachTheBox) {
  g.Open("send");
  Pump();
  struct Case {
    const char* box;
    std::wstring typed;
    std::wstring shown;
  };
  const std::vector<Case> cases = {
      {"txtStartRow", L"1a2", L"12"},
      {"txtEndRow", L"7x-9", L"79"},
      {"txtEndRow", L"12345678", L"1234567"},  // the length limit
  };
  for (const Case& c : cases) {
    HWND box = Native(*g.send, c.box);
    SetWindowTextW(box, L"");
    Pump();
    SetFocus(box);
    Type(box, c.typed);
    EXPECT_EQ(TextOf(box), c.shown) << c.box;
    EXPECT_EQ(Widen(g.send->control(c.box).text), c.shown) << c.box;
  }
}

TEST_F(RendererTest, TextTypedAnywhereInTheBoxKeepsTheModelAndCaretInStep) {
  g.Open("send");
  Pump();
  HWND message = Native(*g.send, "txtMessage");
  SetFocus(message);
  // Devanagari and an emoji outside the basic plane (two UTF-16 units).
  Type(message, L"Hi \u0928\u092e\U0001F600 |");
  EXPECT_EQ(g.send->control("txtMessage").text, "Hi \xE0\xA4\xA8\xE0\xA4\xAE\xF0\x9F\x98\x80 |");
  SendMessageW(message, EM_SETSEL, 3, 3);
  Type(message, L"X");
  EXPECT_EQ(TextOf(message), L"Hi X\u0928\u092e\U0001F600 |");
  EXPECT_EQ(g.send->control("txtMessage").selection_start, 4);
  // The counter follows the key presses.
  EXPECT_EQ(TextOf(Native(*g.send, "txtCount")), Widen(g.send->control("txtCount").text));

  // A placeholder from the column list goes in, and the box shows it.
  HWND cells = Native(*g.send, "lstCells");
  SendMessageW(cells, LB_SETCURSEL, 2, 0);
  SendMessageW(Window(*g.send), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(cells), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(cells));
  EXPECT_EQ(g.send->control("lstCells").selected_index, 2);
  PressButton(Native(*g.send, "btnAddCell"));
  EXPECT_EQ(TextOf(message), L"Hi X\u0928\u092e\U0001F600 ||C|");
  EXPECT_EQ(g.application.selected_column, "C");
}

TEST_F(RendererTest, ClicksReachTheModelAndItsChangesReachTheWindows) {
  g.Open("send");
  Pump();
  HWND send_later = Native(*g.send, "chkSendLater");
  PressButton(send_later);
  EXPECT_TRUE(g.send->control("chkSendLater").checked);
  EXPECT_EQ(SendMessageW(send_later, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(IsWindowVisible(Native(*g.send, "ddlDay")));

  PressButton(Native(*g.send, "optMultiRange"));
  EXPECT_EQ(SendMessageW(Native(*g.send, "optSimpleRange"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(Native(*g.send, "optMultiRange"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(IsWindowEnabled(Native(*g.send, "txtMultiRange")));
  EXPECT_FALSE(IsWindowEnabled(Native(*g.send, "txtStartRow")) && !g.send->control("txtStartRow").enabled);
  // Only the checked option button is a tab stop.
  EXPECT_TRUE(GetWindowLongPtrW(Native(*g.send, "optMultiRange"), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongPtrW(Native(*g.send, "optSimpleRange"), GWL_STYLE) & WS_TABSTOP);

  HWND sender = Native(*g.send, "ddlSenderID");
  EXPECT_EQ(SendMessageW(sender, CB_GETCOUNT, 0, 0), 3);
  SendMessageW(sender, CB_SETCURSEL, 1, 0);
  SendMessageW(Window(*g.send), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(sender), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(sender));
  EXPECT_EQ(g.send->control("ddlSenderID").SelectedItem(), "ALERTS");

  PressButton(Native(*g.send, "btnCancel"));
  EXPECT_FALSE(g.send->visible());
  EXPECT_FALSE(IsWindowVisible(Window(*g.send)));
}

TEST_F(RendererTest, EnterInThePasswordBoxLogsInWithoutTypingIt) {
  g.Open("login");
  Pump();
  EXPECT_EQ(SendMessageW(Native(*g.login, "txtPassword"), EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_FALSE(IsWindowVisible(Native(*g.login, "lblError")));
  HWND id = Native(*g.login, "txtLoginID");
  SetFocus(id);
  Type(id, L"demo");
  HWND password = Native(*g.login, "txtPassword");
  SetFocus(password);
  Type(password, L"pw");
  PostMessageW(password, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(password, WM_KEYUP, VK_RETURN, 0xC0000001);
  Pump();
  EXPECT_EQ(g.login->control("txtPassword").text, "pw");
  EXPECT_EQ(TextOf(password), L"pw");
  EXPECT_EQ(g.Pages(), (std::vector<std::string>{"UserValidation", "UserValidation"}));
  EXPECT_EQ(g.ui.messages, std::vector<std::string>{"Welcome back"});
  EXPECT_FALSE(IsWindowVisible(Window(*g.login)));
}

TEST_F(RendererTest, PreviewListsFiftyRowsUnderItsHeaders) {
  g.Open("preview");
  Pump();
  ASSERT_EQ(g.send->previews().size(), 1u);
  frmPreview& preview = *g.send->previews().back();
  HWND grid = Native(preview, "dgPreview");
  EXPECT_EQ(ListView_GetItemCount(grid), 50);
  wchar_t header[32] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = header;
  column.cchTextMax = 32;
  ASSERT_TRUE(ListView_GetColumn(grid, 0, &column));
  EXPECT_EQ(std::wstring(header), L"Mobile");
  EXPECT_EQ(column.cx, TwipsToPixels(1700, WindowDpi(grid)));
  ASSERT_TRUE(ListView_GetColumn(grid, 1, &column));
  EXPECT_EQ(std::wstring(header), L"Message");
  EXPECT_EQ(column.cx, TwipsToPixels(preview.grid().column_widths[1], WindowDpi(grid)));
  wchar_t cell[128] = {};
  ListView_GetItemText(grid, 49, 1, cell, 128);
  EXPECT_EQ(std::wstring(cell), L"Dear Customer 51, your order ORD-1051 is ready");
  // The message column was measured in the measuring label's font: a
  // longer message makes it wider than the margin alone.
  EXPECT_GT(preview.grid().column_widths[1], 5000 + 1000);
}

TEST_F(RendererTest, TheStatusWindowShowsTheRunAndItsCloseControlEndsBothWindows) {
  g.Open("status");
  Pump();
  frmPopup* popup = g.send->status_window();
  ASSERT_NE(popup, nullptr);
  HWND status = Native(*popup, "txtStatus");
  EXPECT_EQ(TextOf(status),
            L"Process started... (Range from 2 to 71)\r\nProcessed 70 record(s) out of selected 70\r\n"
            L"Process Completed..!!\r\n");
  EXPECT_TRUE(IsWindowEnabled(Native(*popup, "btnClose")));
  EXPECT_FALSE(IsWindowVisible(Window(*g.send)));

  HWND popup_window = Window(*popup);
  SendMessageW(popup_window, WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_FALSE(IsWindow(popup_window));
  EXPECT_FALSE(popup->loaded());
  EXPECT_FALSE(g.send->loaded());
  EXPECT_EQ(Window(*g.send), nullptr);
}

TEST_F(RendererTest, AHiddenDialogKeepsItsWindowAndAShownAgainOneItsTexts) {
  g.Open("proxy");
  Pump();
  HWND first = Native(*g.proxy, "txtProxyIp1");
  SetFocus(first);
  Type(first, L"1a0");
  EXPECT_EQ(g.proxy->control("txtProxyIp1").text, "10");
  PressButton(Native(*g.proxy, "btnProxyCancel"));
  EXPECT_FALSE(IsWindowVisible(Window(*g.proxy)));
  // A click on a hidden dialog's button does nothing.
  SendMessageW(Native(*g.proxy, "btnAddProxy"), BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(g.ui.messages.empty());
  g.proxy->Show();
  Pump();
  EXPECT_TRUE(IsWindowVisible(Window(*g.proxy)));
  EXPECT_EQ(TextOf(Native(*g.proxy, "txtProxyIp1")), L"10");
}

TEST_F(RendererTest, MeasuredTextGrowsWithTheTextAndTheFont) {
  forms::Font plain;
  forms::Font bold = plain;
  bold.bold = true;
  bold.size_pt = 12;
  TextExtent short_text = g.presenter.MeasureText(plain, "Dear A");
  TextExtent long_text = g.presenter.MeasureText(plain, "Dear A, your order is ready");
  TextExtent big = g.presenter.MeasureText(bold, "Dear A");
  EXPECT_GT(short_text.width, 0);
  EXPECT_GT(long_text.width, short_text.width * 3);
  EXPECT_GT(big.width, short_text.width);
  EXPECT_GT(big.height, short_text.height);
}

}  // namespace
}  // namespace pelorin::excel
