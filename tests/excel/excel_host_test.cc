// The add-in's adapters and the win32 platform, driven in-process under
// Wine: cell values through the stand-in's worksheet, the bulk read, the
// registry store, WinHTTP with and without the proxy, the local address and
// the shell's refusals. Run by wine_run.sh, which starts pelorin-provider
// (PELORIN_SERVICE) and tinyproxy (PELORIN_PROXY_PORT, PELORIN_PROXY_LOG).
#include <windows.h>
#undef MessageBox

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <atomic>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/host/user_interface.h"
#include "core/messaging/message_merge.h"
#include "core/messaging/message_template.h"
#include "core/service/service_client.h"
#include "core/settings/local_ip.h"
#include "core/settings/settings_store.h"
#include "core/settings/value_names.h"
#include "hosts/excel/excel_application.h"
#include "hosts/excel/late_bound.h"
#include "platform/win32/file_run_journal_store.h"
#include "platform/win32/ip_helper_network_interfaces.h"
#include "platform/win32/registry_settings_backend.h"
#include "platform/win32/shell_browser.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/winhttp_transport.h"
#include "tests/excel/standin/model.h"

namespace {

using namespace pelorin;

int g_failures = 0;
std::string g_test;

void Check(bool ok, const std::string& what) {
  if (ok) return;
  ++g_failures;
  std::printf("FAILED %s: %s\n", g_test.c_str(), what.c_str());
}

template <typename A, typename B>
void CheckEqual(const A& actual, const B& expected, const std::string& what) {
  std::ostringstream text;
  text << what << ": got \"" << actual << "\", expected \"" << expected << "\"";
  Check(actual == expected, text.str());
}

std::string Env(const char* name) {
  char value[1024] = {};
  GetEnvironmentVariableA(name, value, sizeof value);
  return value;
}

// A workbook file in the prefix's temporary folder.
std::wstring WriteWorkbook(const std::string& cells) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder) + L"pelorin-cells.txt";
  std::ofstream(path.c_str(), std::ios::binary) << cells;
  return path;
}

class RecordingUi : public UserInterface {
 public:
  int MessageBox(std::string_view text, int, std::string_view) override {
    boxes.emplace_back(text);
    return message_box::kAnswerOk;
  }
  void SetBusyCursor(bool) override {}
  void FormShown(forms::Form&) override {}
  void FormHidden(forms::Form&) override {}
  void FormUnloaded(forms::Form&) override {}
  void Repaint(forms::Form&) override {}
  void YieldToMessageLoop() override {}
  TextExtent MeasureText(const forms::Font&, std::string_view) override { return {}; }
  std::vector<std::string> boxes;
};

// Each cell kind Excel hands over, and the text Excel shows for it.
void CellValuesBecomeExcelsText() {
  standin::ApplicationModel model(nullptr, true);
  standin::LoadCells(WriteWorkbook("A1 n 919876543210\n"
                                   "A2 n 999999999999999\n"
                                   "A3 n 1234567890123456\n"
                                   "A4 n 0.30000000000000004\n"
                                   "A5 n -0\n"
                                   "A6 s +91 98765 43210\n"
                                   "A7 b TRUE\n"
                                   "A8 b FALSE\n"
                                   "A9 e 2042\n"
                                   "A10 e 2007\n"
                                   "A11 d 45000\n"
                                   "A12 c 12.5\n"
                                   "A13 s \xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87\n"),
                     model.sheet());
  excel::ExcelApplication application{excel::ComPtr<IDispatch>(model.application())};
  const Worksheet& sheet = application.ActiveSheet();
  struct Case {
    const char* column;
    int row;
    std::string text;
  };
  const Case cases[] = {
      {"A", 1, "919876543210"},  {"A", 2, "999999999999999"}, {"A", 3, "1.23456789012346E+15"},
      {"A", 4, "0.3"},           {"A", 5, "0"},               {"A", 6, "+91 98765 43210"},
      {"A", 7, "TRUE"},          {"A", 8, "FALSE"},           {"A", 9, "#N/A"},
      {"A", 10, "#DIV/0!"},      {"A", 11, "3/15/2023"},      {"A", 12, "12.5"},
      {"A", 13, "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87"},
      {"A", 14, ""},             {"XFD", 1, ""},
  };
  for (const Case& c : cases) {
    CheckEqual(sheet.CellText(c.column, c.row), c.text, std::string(c.column) + std::to_string(c.row));
  }
  // The same cells read as one block come out the same.
  std::vector<std::string_view> block;
  sheet.ReadColumn("A", 1, 14, block);
  CheckEqual(block.size(), 14u, "cells in the block A1:A14");
  for (std::size_t i = 0; i < block.size() && i < 14; ++i) {
    CheckEqual(std::string(block[i]), cases[i].text, "block cell A" + std::to_string(i + 1));
  }
  for (auto [column, row] : {std::pair<const char*, int>{"XFE", 1}, {"A", 0}, {"1", 2}}) {
    bool refused = false;
    try {
      sheet.CellText(column, row);
    } catch (const CellAddressError&) {
      refused = true;
    }
    Check(refused, std::string("address ") + column + std::to_string(row) + " must be refused");
  }
}

// The editor's column selection goes through Columns("C:C").Select.
void WholeColumnIsSelected() {
  standin::ApplicationModel model(nullptr, true);
  excel::ExcelApplication application{excel::ComPtr<IDispatch>(model.application())};
  for (const char* column : {"C", "AB"}) {
    application.SelectWholeColumn(column);
    CheckEqual(win32::WideToUtf8(model.sheet().selection()), "$" + std::string(column) + ":$" + column,
               "selection");
  }
  bool refused = false;
  try {
    application.SelectWholeColumn("C1");
  } catch (const std::exception&) {
    refused = true;
  }
  Check(refused, "a column name with a row must be refused");
  // Asking for the active sheet again keeps the first one valid.
  const Worksheet& first = application.ActiveSheet();
  const Worksheet& second = application.ActiveSheet();
  Check(&first == &second, "the same sheet is the same object");
}

// 10,000 rows in packets of 1,000: one Range call per column per packet.
void BulkReadTakesOneRangeCallPerColumnPerPacket() {
  standin::ApplicationModel model(nullptr, true);
  standin::LoadCells(WriteWorkbook("B2:B10001 n 9198765{row}\nC2:C10001 s name{row}\n"), model.sheet());
  excel::ExcelApplication application{excel::ComPtr<IDispatch>(model.application())};
  const Worksheet& sheet = application.ActiveSheet();
  MessageTemplate message("Dear |C|");
  MessageMerge merge(sheet, "B", message);
  std::string last_packet;
  std::int64_t empty_rows = 0;
  for (std::int64_t first = 2; first <= 10001; first += 1000) {
    long before = model.sheet().counters().range_calls;
    last_packet = merge.MergeRecords({first, first + 999}, empty_rows);
    long calls = model.sheet().counters().range_calls - before;
    Check(calls <= 2, "packet from row " + std::to_string(first) + " took " + std::to_string(calls) +
                          " Range calls for two columns");
  }
  CheckEqual(empty_rows, 0, "empty rows");
  CheckEqual(model.sheet().counters().cells_read, 20000L, "cells read");
  std::string last_record = "919876510001|*^Dear name10001~?*";
  Check(last_packet.size() >= last_record.size() &&
            last_packet.compare(last_packet.size() - last_record.size(), last_record.size(), last_record) == 0,
        "the last packet ends with row 10001's record");
}

// A run names the workbook by its full name and the sheet by its name; a
// host that tells neither still sends, with the run unlabelled.
void WorkbookAndSheetNamesLabelARun() {
  standin::ApplicationModel model(nullptr, true);
  excel::ExcelApplication application{excel::ComPtr<IDispatch>(model.application())};
  CheckEqual(application.ActiveWorkbookName(), "Book1", "a workbook never saved");
  model.sheet().workbook_full_name = L"C:\\Data\\Bestellungen \u00FC.xlsx";
  model.sheet().name = L"\u0938\u0942\u091A\u0940";  // सूची
  CheckEqual(application.ActiveWorkbookName(), "C:\\Data\\Bestellungen \xC3\xBC.xlsx", "full name");
  CheckEqual(application.ActiveSheetName(), "\xE0\xA4\xB8\xE0\xA5\x82\xE0\xA4\x9A\xE0\xA5\x80", "sheet name");

  standin::ApplicationModel other(nullptr, false);
  excel::ExcelApplication not_excel{excel::ComPtr<IDispatch>(other.application())};
  CheckEqual(not_excel.ActiveWorkbookName(), "", "a host without workbooks");
  CheckEqual(not_excel.ActiveSheetName(), "", "a host without sheets");
}

// The journal's files: saved whole, appended to, read back up to a piece
// that a crash cut short, listed by run name; the folder is made on the
// first save, under the user's local application data.
void RunJournalFilesKeepWhatWasWrittenWhole() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path root =
      std::filesystem::path(temp) / (L"pelorin-journal-" + std::to_wstring(GetCurrentProcessId()));
  std::filesystem::remove_all(root);
  win32::FileRunJournalStore store((root / L"nested" / L"runs").wstring());
  CheckEqual(store.Runs().size(), 0u, "runs before the folder exists");
  Check(!store.Load("u_1"), "no journal before the first save");

  store.Save("u_1", "run u_1\n");
  store.Append("u_1", "packet 1\n");
  const std::uint64_t whole = std::filesystem::file_size(store.FileOf("u_1"));
  store.Append("u_1", "packet 2\n");
  CheckEqual(store.Load("u_1").value_or("(none)"), "run u_1\npacket 1\npacket 2\n", "saved and appended");
  const std::uint64_t grown = std::filesystem::file_size(store.FileOf("u_1"));
  for (std::uint64_t size = whole; size < grown; ++size) {
    std::filesystem::resize_file(store.FileOf("u_1"), size);
    CheckEqual(store.Load("u_1").value_or("(none)"), "run u_1\npacket 1\n",
               "cut to " + std::to_string(size) + " bytes");
  }
  store.Save("u_1", "run u_1 again\n");
  CheckEqual(store.Load("u_1").value_or("(none)"), "run u_1 again\n", "a save replaces the text whole");

  store.Save("a/b:c", "other\n");
  std::ofstream(std::filesystem::path(store.directory()) / L"notes.txt") << "not a journal";
  std::vector<std::string> runs = store.Runs();
  std::sort(runs.begin(), runs.end());
  CheckEqual(runs.size(), 2u, "runs listed");
  if (runs.size() == 2) {
    CheckEqual(runs[0], "a/b:c", "a run name with characters files cannot have");
    CheckEqual(runs[1], "u_1", "a plain run name");
  }
  bool refused = false;
  try {
    store.Append("u_2", "packet 1\n");
  } catch (const std::runtime_error&) {
    refused = true;
  }
  Check(refused, "an append to a run never saved must throw");
  std::filesystem::remove_all(root);

  const std::wstring users = win32::FileRunJournalStore::ForCurrentUser().directory();
  const std::wstring local = win32::Utf8ToWide(Env("LOCALAPPDATA"));
  Check(!local.empty() && users == local + L"\\Pelorin\\runs",
        "the user's journals are in " + win32::WideToUtf8(users));
}

// Values go in and come out through the wide API, so any script survives,
// and the stored data is UTF-16 as other Windows programs read it.
void RegistryStoreKeepsAnyText() {
  win32::RegistrySettingsBackend backend;
  const std::string devanagari = "\xE0\xA4\xA6\xE0\xA5\x80\xE0\xA4\xAA\xE0\xA4\x95";  // दीपक
  const std::string long_text(5000, 'x');
  const std::string cases[] = {devanagari, "", "Dear |B|, \xE2\x82\xB9 100 due", long_text};
  for (const std::string& value : cases) {
    backend.Set(SettingsGroup::kSettings, "vpelorin_test", value);
    CheckEqual(backend.Get(SettingsGroup::kSettings, "vpelorin_test").size(), value.size(), "round trip size");
    Check(backend.Get(SettingsGroup::kSettings, "vpelorin_test") == value, "round trip of a " +
                                                                             std::to_string(value.size()) + "-byte text");
  }
  backend.Set(SettingsGroup::kSettings, "vpelorin_test", devanagari);
  wchar_t raw[64] = {};
  DWORD size = sizeof raw;
  DWORD type = 0;
  RegGetValueW(HKEY_CURRENT_USER, win32::kSettingsKey, L"vpelorin_test", RRF_RT_ANY, &type, raw, &size);
  Check(type == REG_SZ && std::wstring(raw) == L"\u0926\u0940\u092A\u0915", "stored as UTF-16 REG_SZ");

  backend.Remove(SettingsGroup::kSettings, "vpelorin_test");
  CheckEqual(backend.Get(SettingsGroup::kSettings, "vpelorin_test"), "", "removed value");
  backend.Remove(SettingsGroup::kSettings, "vpelorin_test");  // absent: nothing happens

  // A change writes its values together and deletes afterwards; while
  // another process holds the writers' mutex, it waits.
  backend.Set(SettingsGroup::kSettings, "vpelorin_old", "stale");
  HANDLE mutex = CreateMutexW(nullptr, FALSE, win32::kSettingsWriterMutex);
  WaitForSingleObject(mutex, INFINITE);
  std::atomic<bool> changed{false};
  std::thread writer([&] {
    backend.Change(SettingsGroup::kSettings, {{"vpelorin_a", "1"}, {"vpelorin_old", std::nullopt},
                                              {"vpelorin_b", devanagari}});
    changed = true;
  });
  Sleep(300);
  Check(!changed, "a change waits for the writers' mutex");
  CheckEqual(backend.Get(SettingsGroup::kSettings, "vpelorin_a"), "", "nothing written while waiting");
  ReleaseMutex(mutex);
  writer.join();
  CloseHandle(mutex);
  CheckEqual(backend.Get(SettingsGroup::kSettings, "vpelorin_a"), "1", "first value of a change");
  CheckEqual(backend.Get(SettingsGroup::kSettings, "vpelorin_b"), devanagari, "second value of a change");
  CheckEqual(backend.Get(SettingsGroup::kSettings, "vpelorin_old"), "", "value deleted by a change");
  backend.Change(SettingsGroup::kSettings, {{"vpelorin_a", std::nullopt}, {"vpelorin_b", std::nullopt}});
  CheckEqual(backend.Get(SettingsGroup::kSettings, "vpelorin_a"), "", "deleted again");

  SettingsStore store(backend);
  store.SaveLoginDetails(devanagari);
  CheckEqual(store.SessionUserId(), devanagari, "login id through the scramble");
  Check(store.IsLoggedIn(), "logged in after saving");
  CheckEqual(store.strLogout(), "SUCCESS", "logout");
  Check(!store.IsLoggedIn(), "logged out");
}

std::size_t ProxyRequests() {
  std::ifstream log(Env("PELORIN_PROXY_LOG"));
  std::string line;
  std::size_t requests = 0;
  while (std::getline(log, line)) {
    if (line.find("Request (file descriptor") != std::string::npos) ++requests;
  }
  return requests;
}

// The proxy is used only when both values are stored.
void RequestsGoThroughTheProxyOnlyWithBothValues() {
  std::string service = Env("PELORIN_SERVICE");
  std::string proxy_port = Env("PELORIN_PROXY_PORT");
  if (service.empty() || proxy_port.empty()) {
    Check(false, "pelorin-provider and tinyproxy must be running");
    return;
  }
  win32::RegistrySettingsBackend backend;
  SettingsStore settings(backend);
  RecordingUi ui;
  win32::WinHttpTransport transport;
  ServiceClient client(transport, settings, ui);
  // Wine's WinHTTP sends a relative request line when the service and the
  // proxy have the same host name, so the service is named differently.
  std::string port = service.substr(service.find(':') + 1);
  const std::string url = "http://localhost:" + port + "/PelorinExcelplugin02022012/GetCreditDetails.aspx?uid=demo&ticks=1";

  struct Case {
    const char* address;
    const char* port;
    bool through_proxy;
  };
  const Case cases[] = {
      {"", "", false}, {"127.0.0.1", "", false}, {"", proxy_port.c_str(), false}, {"127.0.0.1", proxy_port.c_str(), true}};
  for (const Case& c : cases) {
    settings.RemoveProxy();
    if (*c.address != '\0') backend.Set(SettingsGroup::kSettings, value_names::kProxyAddress, c.address);
    if (*c.port != '\0') backend.Set(SettingsGroup::kSettings, value_names::kProxyPort, c.port);
    std::size_t before = ProxyRequests();
    std::string reply = client.strHttpPost(url);
    CheckEqual(reply, "500", std::string("credit reply with proxy \"") + c.address + "\":\"" + c.port + "\"");
    Sleep(200);
    CheckEqual(ProxyRequests() - before, c.through_proxy ? 1u : 0u,
               std::string("proxy requests with \"") + c.address + "\":\"" + c.port + "\"");
  }
  settings.RemoveProxy();

  // Whatever the status, the body is the answer.
  std::string missing = client.strHttpPost("http://" + service + "/no-such-page");
  Check(missing != "ERROR", "a 404 answers its body, not ERROR");

  // A refused connection: "ERROR" from both, a box only from the form post.
  std::string closed = "http://127.0.0.1:9/PelorinExcelplugin02022012/Compose.aspx";
  CheckEqual(client.strHttpPost(closed), "ERROR", "refused plain post");
  CheckEqual(ui.boxes.size(), 0u, "boxes after the plain post");
  CheckEqual(client.strHttpPostForm(closed, "a", "b", "c"), "ERROR", "refused form post");
  CheckEqual(ui.boxes.size(), 1u, "boxes after the form post");
}

void LocalAddressIsTheFirstAdaptersAddress() {
  win32::IpHelperNetworkInterfaces interfaces;
  std::vector<std::string> addresses = interfaces.FirstIpv4AddressPerInterface();
  Check(!addresses.empty(), "IP Helper lists at least one adapter");
  std::string local = strGetLocalIP(interfaces);
  if (!addresses.empty() && !addresses.front().empty()) CheckEqual(local, addresses.front(), "local address");
  int dots = 0;
  for (char c : local) {
    if (c == '.') ++dots;
    else Check(c >= '0' && c <= '9', "address " + local + " is dotted decimal");
  }
  CheckEqual(dots, 3, "dots in " + local);
}

void ShellRefusesAnythingButWebAndMail() {
  win32::ShellBrowser browser;
  struct Case {
    const char* address;
    bool as_page;
  };
  const Case refused[] = {{"file:///c:/windows/system32/calc.exe", true}, {"file:///c:/x", false},
                          {"mailto:support@pelorin.example", true}, {"javascript:alert(1)", false},
                          {"calc.exe", false}, {"http://example.com/\nx", true}};
  for (const Case& c : refused) {
    bool threw = false;
    try {
      c.as_page ? browser.OpenInNewWindow(c.address) : browser.ShellOpen(c.address);
    } catch (const std::runtime_error&) {
      threw = true;
    }
    Check(threw, std::string("the shell must refuse ") + c.address);
  }
}

// Another program finds the public classes through their ProgIDs in the
// per-user registration and calls them through the type library.
excel::ComPtr<IDispatch> CreateFromProgId(const wchar_t* prog_id) {
  std::wstring classes = L"Software\\Classes\\";
  wchar_t clsid_text[64] = {};
  DWORD size = sizeof clsid_text;
  RegGetValueW(HKEY_CURRENT_USER, (classes + prog_id + L"\\CLSID").c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
               clsid_text, &size);
  wchar_t path[MAX_PATH] = {};
  size = sizeof path;
  RegGetValueW(HKEY_CURRENT_USER, (classes + L"CLSID\\" + clsid_text + L"\\InprocServer32").c_str(), nullptr,
               RRF_RT_REG_SZ, nullptr, path, &size);
  CLSID clsid{};
  HMODULE module = LoadLibraryW(path);
  if (module == nullptr || FAILED(CLSIDFromString(clsid_text, &clsid))) return {};
  auto get_class_object = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  IClassFactory* factory = nullptr;
  if (get_class_object == nullptr ||
      FAILED(get_class_object(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
    return {};
  }
  IDispatch* object = nullptr;
  factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object));
  factory->Release();
  return excel::ComPtr<IDispatch>::Adopt(object);
}

excel::Variant ByRef(VARTYPE type, void* value) {
  excel::Variant reference;
  reference.get().vt = static_cast<VARTYPE>(type | VT_BYREF);
  reference.get().byref = value;
  return reference;
}

void PublicClassesAnswerThroughTheirProgIds() {
  excel::ComPtr<IDispatch> functions = CreateFromProgId(L"Pelorin.ExcelFunctions");
  excel::ComPtr<IDispatch> global = CreateFromProgId(L"Pelorin.CGlobal");
  Check(static_cast<bool>(functions) && static_cast<bool>(global), "both classes are created from their ProgIDs");
  if (!functions || !global) return;

  double d = 21.25;
  excel::Variant doubled = excel::CallMethod(functions.get(), L"DoubleIt", {ByRef(VT_R8, &d)});
  Check(doubled.get().vt == VT_R8 && doubled.get().dblVal == 42.5, "DoubleIt(21.25) is 42.5");
  double huge = 1e308;
  bool overflowed = false;
  try {
    excel::CallMethod(functions.get(), L"DoubleIt", {ByRef(VT_R8, &huge)});
  } catch (const excel::ComError&) {
    overflowed = true;
  }
  Check(overflowed, "DoubleIt(1e308) fails with an overflow");

  struct KeyCase {
    const wchar_t* filter;
    short key;
    short answer;
  };
  const KeyCase keys[] = {{L"intAllowOnlyDigit", 47, 0},           {L"intAllowOnlyDigit", 48, 48},
                          {L"intAllowOnlyDigit", 8, 8},            {L"intAllowOnlyDigitAndDecimal", 46, 46},
                          {L"intAllowOnlyAlphabets", 91, 0},       {L"intAllowOnlyAlphabets", 97, 97}};
  for (const KeyCase& c : keys) {
    short key = c.key;
    excel::Variant answer = excel::CallMethod(global.get(), c.filter, {ByRef(VT_I2, &key)});
    CheckEqual(answer.get().iVal, c.answer, win32::WideToUtf8(c.filter) + "(" + std::to_string(c.key) + ")");
    CheckEqual(key, c.key, "the key itself is left alone");
  }
  BSTR text = SysAllocString(L"0012");
  excel::Variant trimmed = excel::CallMethod(global.get(), L"strValidLeadingZero", {ByRef(VT_BSTR, &text)});
  Check(trimmed.get().vt == VT_BSTR && std::wstring(trimmed.get().bstrVal) == L"12", "strValidLeadingZero(0012)");
  Check(std::wstring(text) == L"12", "the caller's text lost its zeros too");
  SysFreeString(text);
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  const std::pair<const char*, std::function<void()>> tests[] = {
      {"CellValuesBecomeExcelsText", CellValuesBecomeExcelsText},
      {"BulkReadTakesOneRangeCallPerColumnPerPacket", BulkReadTakesOneRangeCallPerColumnPerPacket},
      {"WholeColumnIsSelected", WholeColumnIsSelected},
      {"WorkbookAndSheetNamesLabelARun", WorkbookAndSheetNamesLabelARun},
      {"RegistryStoreKeepsAnyText", RegistryStoreKeepsAnyText},
      {"RunJournalFilesKeepWhatWasWrittenWhole", RunJournalFilesKeepWhatWasWrittenWhole},
      {"RequestsGoThroughTheProxyOnlyWithBothValues", RequestsGoThroughTheProxyOnlyWithBothValues},
      {"LocalAddressIsTheFirstAdaptersAddress", LocalAddressIsTheFirstAdaptersAddress},
      {"ShellRefusesAnythingButWebAndMail", ShellRefusesAnythingButWebAndMail},
      {"PublicClassesAnswerThroughTheirProgIds", PublicClassesAnswerThroughTheirProgIds},
  };
  for (const auto& [name, test] : tests) {
    g_test = name;
    int before = g_failures;
    try {
      test();
    } catch (const std::exception& error) {
      Check(false, std::string("threw: ") + error.what());
    }
    std::printf("%s %s\n", g_failures == before ? "ok    " : "FAILED", name);
  }
  OleUninitialize();
  return g_failures == 0 ? 0 : 1;
}
