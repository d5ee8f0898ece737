// The add-in inside one LibreOffice process: the posix platform's services,
// core's stores and clients over them, Calc as the application, and core's
// Connect, connected once when the office starts (or the extension is first
// used) and disconnected when the office closes. Commands run on the
// office's main thread; the protocol handlers only pass them on.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <com/sun/star/frame/XStatusListener.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include "hosts/calc/uno/calc_menu.h"

namespace pelorin::calc {

class AddinServices;

class CalcAddin {
 public:
  // The one add-in of this process; created at the first call.
  static CalcAddin& Instance(const css::uno::Reference<css::uno::XComponentContext>& context);

  // Connects on the main thread, once; later calls do nothing.
  void ConnectSoon();
  // Runs the command's click on the main thread, then reports every
  // command's state again.
  void DispatchSoon(const std::string& url);
  // The command's state as the last refresh saw it.
  CommandState State(const std::string& url);

  void AddStatusListener(const css::uno::Reference<css::frame::XStatusListener>& listener,
                         const std::string& url);
  void RemoveStatusListener(const css::uno::Reference<css::frame::XStatusListener>& listener,
                            const std::string& url);

  // The office is closing: the menu goes, the dialogs go, and the exit
  // question is asked when someone is logged in.
  void Disconnect();

 private:
  explicit CalcAddin(css::uno::Reference<css::uno::XComponentContext> context);

  void Connect();
  void MenuStateChanged();
  void Broadcast();
  void Notify(const css::uno::Reference<css::frame::XStatusListener>& listener,
              const std::string& url, const CommandState& state);
  void RunLater(std::function<void()> work);

  css::uno::Reference<css::uno::XComponentContext> context_;
  std::unique_ptr<AddinServices> services_;  // main thread only
  bool connect_requested_ = false;           // guarded by mutex_
  bool broadcast_pending_ = false;           // main thread only

  std::mutex mutex_;  // guards the two members below
  std::map<std::string, CommandState> states_;
  struct Listener {
    css::uno::Reference<css::frame::XStatusListener> listener;
    std::string url;
  };
  std::vector<Listener> listeners_;
};

}  // namespace pelorin::calc
