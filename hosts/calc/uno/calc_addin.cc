#include "hosts/calc/uno/calc_addin.h"

#include <com/sun/star/awt/AsyncCallback.hpp>
#include <com/sun/star/awt/XCallback.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/FeatureStateEvent.hpp>
#include <com/sun/star/frame/XTerminateListener.hpp>
#include <com/sun/star/frame/status/Visibility.hpp>
#include <com/sun/star/util/URL.hpp>
#include <cppuhelper/implbase1.hxx>

#include <chrono>
#include <thread>

#include "core/addin/addin_context.h"
#include "core/addin/connect.h"
#include "core/addin/excel_controls.h"
#include "core/messaging/run_name_claim.h"
#include "core/service/service_client.h"
#include "core/settings/settings_store.h"
#include "hosts/calc/uno/calc_application.h"
#include "hosts/calc/uno/command_urls.h"
#include "hosts/calc/uno/run_later.h"
#include "hosts/calc/uno/uno_text.h"
#include "hosts/calc/uno/uno_user_interface.h"
#include "platform/posix/curl_transport.h"
#include "platform/posix/file_run_journal_store.h"
#include "platform/posix/file_settings_backend.h"
#include "platform/posix/posix_network_interfaces.h"
#include "platform/posix/system_clock.h"
#include "platform/posix/xdg_browser.h"

namespace pelorin::calc {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;

// Everything a connection works with, built on the main thread.
class AddinServices {
 public:
  AddinServices(const Reference<css::uno::XComponentContext>& context, std::function<void()> on_menu)
      : ui(context), application(context, std::move(on_menu)) {}

  posix::FileSettingsBackend backend{posix::FileSettingsBackend::FromEnvironment()};
  posix::CurlTransport transport;
  posix::SystemClock clock;
  posix::PosixNetworkInterfaces network;
  posix::XdgBrowser browser;
  SettingsStore settings{backend};
  UnoUserInterface ui;
  ServiceClient service{transport, settings, ui};
  CalcApplication application;
  RunNameClaim run_names{clock, backend,
                         [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }};
  // Runs are journaled where the command line keeps its own, so that
  // `pelorin history` lists them.
  posix::FileRunJournalStore journal{posix::FileRunJournalStore::FromEnvironment()};
  AddinContext context{ui, settings, service, clock, network, browser, nullptr, nullptr, &journal,
                       &run_names};
  pelorin::Connect connect{context};
  bool connected = false;
};

namespace {

class TerminateListener : public cppu::WeakImplHelper1<css::frame::XTerminateListener> {
 public:
  explicit TerminateListener(CalcAddin& addin) : addin_(addin) {}
  void SAL_CALL queryTermination(const css::lang::EventObject&) override {}
  void SAL_CALL notifyTermination(const css::lang::EventObject&) override {
    try {
      addin_.Disconnect();
    } catch (...) {
    }
  }
  void SAL_CALL disposing(const css::lang::EventObject&) override {}

 private:
  CalcAddin& addin_;
};

}  // namespace

CalcAddin& CalcAddin::Instance(const Reference<css::uno::XComponentContext>& context) {
  // Lives as long as the process: the office may call in until it exits.
  static CalcAddin* addin = new CalcAddin(context);
  return *addin;
}

CalcAddin::CalcAddin(Reference<css::uno::XComponentContext> context) : context_(std::move(context)) {}

void CalcAddin::RunLater(std::function<void()> work) {
  pelorin::calc::RunLater(context_, std::move(work));
}

void CalcAddin::ConnectSoon() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (connect_requested_) return;
    connect_requested_ = true;
  }
  RunLater([this] { Connect(); });
}

void CalcAddin::Connect() {
  if (services_) return;
  services_ = std::make_unique<AddinServices>(context_, [this] { MenuStateChanged(); });
  css::frame::Desktop::create(context_)->addTerminateListener(new TerminateListener(*this));
  services_->connect.OnConnection(services_->application, ConnectMode::kStartup, nullptr);
  services_->connected = true;
  Broadcast();
}

void CalcAddin::Disconnect() {
  if (!services_ || !services_->connected) return;
  services_->connected = false;
  services_->connect.OnDisconnection(RemoveMode::kHostShutdown);
  services_->ui.CloseAll();
  Broadcast();
}

void CalcAddin::DispatchSoon(const std::string& url) {
  ConnectSoon();
  RunLater([this, url] {
    if (!services_ || !services_->connected) return;
    services_->application.menu_bar().Click(url);
    Broadcast();
  });
}

void CalcAddin::MenuStateChanged() {
  if (broadcast_pending_) return;
  broadcast_pending_ = true;
  RunLater([this] { Broadcast(); });
}

CommandState CalcAddin::State(const std::string& url) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = states_.find(url);
  return found == states_.end() ? CommandState{} : found->second;
}

void CalcAddin::Broadcast() {
  broadcast_pending_ = false;
  std::map<std::string, CommandState> states;
  if (services_) {
    for (const auto& row : kMenuCommands) {
      std::string url = CommandUrl(row.caption);
      states[url] = services_->application.menu_bar().State(url);
    }
  }
  std::vector<Listener> listeners;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    states_ = states;
    listeners = listeners_;
  }
  for (const Listener& entry : listeners) {
    auto found = states.find(entry.url);
    Notify(entry.listener, entry.url, found == states.end() ? CommandState{} : found->second);
  }
}

void CalcAddin::Notify(const Reference<css::frame::XStatusListener>& listener,
                       const std::string& url, const CommandState& state) {
  css::frame::FeatureStateEvent event;
  event.FeatureURL.Complete = ToUno(url);
  event.FeatureURL.Protocol = ToUno(kCommandProtocol);
  event.FeatureURL.Path = ToUno(std::string_view(url).substr(kCommandProtocol.size()));
  event.IsEnabled = state.known && state.enabled;
  event.Requery = false;
  event.State <<= css::frame::status::Visibility(state.known && state.visible);
  try {
    listener->statusChanged(event);
  } catch (...) {
    // A listener that has gone away; the next removal drops it.
  }
}

void CalcAddin::AddStatusListener(const Reference<css::frame::XStatusListener>& listener,
                                  const std::string& url) {
  if (!listener.is()) return;
  CommandState state;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    listeners_.push_back({listener, url});
    auto found = states_.find(url);
    if (found != states_.end()) state = found->second;
  }
  Notify(listener, url, state);
}

void CalcAddin::RemoveStatusListener(const Reference<css::frame::XStatusListener>& listener,
                                     const std::string& url) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase_if(listeners_, [&](const Listener& entry) {
    return entry.listener == listener && entry.url == url;
  });
}

}  // namespace pelorin::calc
