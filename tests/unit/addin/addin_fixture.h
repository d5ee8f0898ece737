// A connected add-in over the fakes, with helpers to find the menu's buttons
// and to see which dialogs were shown.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/addin/connect.h"
#include "core/addin/excel_controls.h"
#include "tests/support/fakes/test_addin.h"

namespace pelorin::testing {

class AddinFixture : public ::testing::Test {
 protected:
  AddinFixture() {
    // Credit requests get `credit_reply`; every other page fails, as an
    // unreachable service does.
    addin.transport.responder = [this](const HttpRequest& request) -> std::string {
      if (request.url.find("GetCreditDetails") == std::string::npos || credit_fails) {
        throw TransportError("unreachable");
      }
      return credit_reply;
    };
  }

  void ConnectToHost() {
    connect.OnConnection(addin.application, ConnectMode::kStartup, instance);
  }

  FakePopup& Menu() {
    FakePopup* popup = addin.application.PelorinPopup();
    if (popup == nullptr) throw std::logic_error("no Pelorin menu");
    return *popup;
  }
  // Hidden buttons included: a test may click what the user cannot see.
  FakeButton& Button(const std::string& caption) {
    FakeButton* button = Menu().Find(caption);
    if (button == nullptr) throw std::logic_error("no button " + caption);
    return *button;
  }
  void Click(const std::string& caption) { Button(caption).Click(); }

  // The names of the forms shown, in order.
  std::vector<std::string> Shown() const {
    std::vector<std::string> names;
    for (const auto& event : addin.ui.events) {
      if (event.rfind("shown ", 0) == 0) names.push_back(event.substr(6));
    }
    return names;
  }
  int CreditRequests() const {
    int count = 0;
    for (const auto& request : addin.transport.requests) {
      if (request.url.find("GetCreditDetails") != std::string::npos) ++count;
    }
    return count;
  }

  TestAddin addin;
  std::shared_ptr<void> instance = std::make_shared<int>(1);
  Connect connect{addin.context};
  std::string credit_reply = "120";
  bool credit_fails = false;
};

}  // namespace pelorin::testing
