// Shows the hourglass for as long as a button's work runs, and restores the
// normal pointer on every way out, a thrown error included.
#pragma once

#include "core/host/user_interface.h"

namespace pelorin::forms {

class BusyCursor {
 public:
  explicit BusyCursor(UserInterface& ui) : ui_(ui) { ui_.SetBusyCursor(true); }
  ~BusyCursor() { ui_.SetBusyCursor(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  UserInterface& ui_;
};

}  // namespace pelorin::forms
