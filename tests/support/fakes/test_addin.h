// Every fake wired into one add-in context, for unit tests of core.
#pragma once

#include "core/addin/addin_context.h"
#include "core/service/service_client.h"
#include "core/settings/settings_store.h"
#include "core/settings/scramble.h"
#include "core/settings/value_names.h"
#include "tests/support/fakes/fake_application.h"
#include "tests/support/fakes/fake_clock.h"
#include "tests/support/fakes/fake_network.h"
#include "tests/support/fakes/fake_settings_backend.h"
#include "tests/support/fakes/fake_transport.h"
#include "tests/support/fakes/fake_user_interface.h"

namespace pelorin::testing {

struct TestAddin {
  FakeSettingsBackend backend;
  FakeTransport transport;
  FakeUserInterface ui;
  FakeClock clock;
  FakeNetworkInterfaces network;
  FakeBrowser browser;
  FakeApplication application;
  SettingsStore settings{backend};
  ServiceClient service{transport, settings, ui};
  AddinContext context{ui, settings, service, clock, network, browser, &application, nullptr};

  void LogIn(const std::string& user_id) { settings.SaveLoginDetails(user_id); }
};

}  // namespace pelorin::testing
