// A send dialog on the fake add-in, logged in, with every request that passes
// the checks recorded instead of sent.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/messaging/send_form.h"
#include "tests/support/fakes/test_addin.h"

namespace pelorin::testing {

class SendDialogTest : public ::testing::Test {
 protected:
  SendDialogTest() {
    addin.LogIn("u1");
    form.SetSendRequestHandler([this](const SendRequest& request) { sent.push_back(request); });
  }

  // Loads the dialog with the service answering GetSenderID with `reply`.
  void Open(const std::string& reply = "3$ABCDEF,GHIJKL") {
    addin.transport.replies.push_back(reply);
    form.Load();
  }

  // A message and a simple range that pass every check at 14:40.
  void FillValidSimpleSend() {
    form.SetText("txtMessage", "Dear |C|");
    form.SetText("txtStartRow", "2");
    form.SetText("txtEndRow", "5");
  }

  void UseMultipleRange(const std::string& text) {
    form.Click("optMultiRange");
    form.SetText("txtMultiRange", text);
  }

  std::vector<std::string> Messages() const { return addin.ui.MessageTexts(); }
  forms::Control& C(std::string_view name) { return form.control(name); }

  TestAddin addin;
  frmSendSMS form{addin.context};
  std::vector<SendRequest> sent;
};

}  // namespace pelorin::testing
