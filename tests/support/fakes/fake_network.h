// Network interfaces and a browser for tests.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "core/host/browser.h"
#include "core/host/network_interfaces.h"

namespace pelorin::testing {

class FakeNetworkInterfaces : public NetworkInterfaces {
 public:
  std::vector<std::string> FirstIpv4AddressPerInterface() const override {
    if (fail) throw std::runtime_error("interfaces unavailable");
    return addresses;
  }
  std::vector<std::string> addresses{"192.168.1.20"};
  bool fail = false;
};

class FakeBrowser : public Browser {
 public:
  void OpenInNewWindow(const std::string& address) override {
    if (fail) throw std::runtime_error("no browser");
    opened.push_back(address);
  }
  void ShellOpen(const std::string& address) override {
    if (fail) throw std::runtime_error("no shell");
    shell_opened.push_back(address);
  }
  std::vector<std::string> opened;
  std::vector<std::string> shell_opened;
  bool fail = false;
};

}  // namespace pelorin::testing
