// Every dialog of the add-in on fakes of the services, rendered in real
// windows by the Win32 renderer: for the renderer's tests and for
// screenshots. Message boxes are recorded and answered, never shown.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/addin/addin_context.h"
#include "core/dialogs/packet_size_form.h"
#include "core/dialogs/proxy_form.h"
#include "core/login/login_form.h"
#include "core/messaging/send_form.h"
#include "core/service/service_client.h"
#include "core/settings/settings_store.h"
#include "hosts/excel/forms/win32_form_presenter.h"
#include "tests/support/fakes/fake_application.h"
#include "tests/support/fakes/fake_clock.h"
#include "tests/support/fakes/fake_network.h"
#include "tests/support/fakes/fake_settings_backend.h"
#include "tests/support/fakes/fake_transport.h"

namespace pelorin::gallery {

// The user-interface services over the renderer, with message boxes
// recorded (and answered OK, or Yes to a question).
class GalleryUserInterface : public UserInterface {
 public:
  explicit GalleryUserInterface(excel::Win32FormPresenter& presenter) : presenter_(presenter) {}

  int MessageBox(std::string_view text, int style, std::string_view title) override;
  void SetBusyCursor(bool busy) override { busy_changes.push_back(busy); }
  void FormShown(forms::Form& form) override { presenter_.Shown(form); }
  void FormHidden(forms::Form& form) override { presenter_.Hidden(form); }
  void FormUnloaded(forms::Form& form) override { presenter_.Unloaded(form); }
  void Repaint(forms::Form& form) override { presenter_.Repaint(form); }
  void YieldToMessageLoop() override { presenter_.PumpMessages(); }
  TextExtent MeasureText(const forms::Font& font, std::string_view text) override {
    return presenter_.MeasureText(font, text);
  }

  std::vector<std::string> messages;
  std::vector<bool> busy_changes;

 private:
  excel::Win32FormPresenter& presenter_;
};

// The fakes of one add-in, logged in, with a service that answers every
// page and a worksheet of contacts (B: mobile numbers, C: names).
class Gallery {
 public:
  Gallery();
  ~Gallery();

  // Opens a scene: "login", "login-notice", "send", "send-later",
  // "status", "preview", "proxy", "packet". False for an unknown name.
  bool Open(std::string_view scene);
  static std::vector<std::string_view> Scenes();

  excel::Win32FormPresenter presenter{nullptr};
  GalleryUserInterface ui{presenter};
  testing::FakeSettingsBackend backend;
  testing::FakeTransport transport;
  testing::FakeClock clock;
  testing::FakeNetworkInterfaces network;
  testing::FakeBrowser browser;
  testing::FakeApplication application;
  SettingsStore settings{backend};
  ServiceClient service{transport, settings, ui};
  AddinContext context{ui, settings, service, clock, network, browser, &application, nullptr};
  // What the service replies to the update check; empty leaves the notice as designed.
  std::string update_reply;

  std::unique_ptr<frmLogin> login;
  std::unique_ptr<frmSendSMS> send;
  std::unique_ptr<frmProxySettings> proxy;
  std::unique_ptr<frmPacketSize> packet;

  // The page names of the requests so far ("GetSenderID", "Compose", ...).
  std::vector<std::string> Pages() const;

 private:
  std::string Answer(const HttpRequest& request);
  void FillSheet(int rows);
};

// Pumps the thread's messages until no window of the gallery is visible or
// `milliseconds` have passed.
void RunUntilClosed(Gallery& gallery, unsigned milliseconds);

}  // namespace pelorin::gallery
