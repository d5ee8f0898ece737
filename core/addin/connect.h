// Connect: the add-in's entry object. The host calls its five operations to
// connect the add-in, to tell it about start-up and shut-down, and to
// disconnect it.
#pragma once

#include <memory>
#include <string_view>

namespace pelorin {

struct AddinContext;
class Application;
class CExcelControls;
class CExcelEvents;

// How the host started or stops the add-in; passed on, never read.
enum class ConnectMode { kAfterStartup = 0, kStartup = 1, kExternal = 2, kCommandLine = 3 };
enum class RemoveMode { kHostShutdown = 0, kUserClosed = 1 };

inline constexpr std::string_view kExitQuestion = "Are you sure you want to exit from Pelorin Excel Plug-in??";

class Connect {
 public:
  // The shared state of the connection lives in `context` (application,
  // controls) and here (the events object, the add-in instance).
  explicit Connect(AddinContext& context);
  ~Connect();
  Connect(const Connect&) = delete;
  Connect& operator=(const Connect&) = delete;

  // Keeps the add-in instance; for a spreadsheet host also keeps the
  // application, builds the menu and sets Login and Logout from the stored
  // session. Host errors propagate, and what was kept before them stays kept.
  // `add_in_instance` is the host's own object, only held: letting go of the
  // pointer releases the host's reference.
  void OnConnection(Application& application, ConnectMode mode, std::shared_ptr<void> add_in_instance);
  // Removes the menu's commands and lets go of the host; then, when someone
  // is still logged in, asks whether to forget the stored login. Host errors
  // propagate.
  void OnDisconnection(RemoveMode mode);
  void OnAddInsUpdate() {}
  void OnStartupComplete() {}
  void OnBeginShutdown() {}

  CExcelEvents* excel_events() const { return objExcelEvents_.get(); }
  CExcelControls* excel_controls() const { return objExcelControls_.get(); }
  bool holds_add_in_instance() const { return objAddInInstance_ != nullptr; }

 private:
  void ShowLoginState();
  void AskToForgetLogin();

  AddinContext& context_;
  Application* objExcelApp_ = nullptr;
  std::unique_ptr<CExcelEvents> objExcelEvents_;
  std::unique_ptr<CExcelControls> objExcelControls_;
  std::shared_ptr<void> objAddInInstance_;
};

}  // namespace pelorin
