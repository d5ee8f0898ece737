// The proxy dialog (frmProxySettings): sets or removes the HTTP proxy that
// every request to the service then goes through.
//
// Driving it from a host or the command line: Load() fills the boxes from the
// stored values; Type("txtProxyIp1", "10") (and so on) fills a box through its
// key filter and length limit, SetText sets it as pasted; then
// Click("btnAddProxy"), Click("btnRemoveProxy") or Click("btnProxyCancel").
// The outcome is told by message boxes, and visible() turns false when the
// dialog closed itself after a success.
//
// Controls by name: lblCaption, lblProxyIP, txtProxyIp1..txtProxyIp4, lbldot,
// Label1, Label2, lblPort, txtPort, btnAddProxy, btnRemoveProxy,
// btnProxyCancel, lblProxyError, lblErrProxyMsg.
#pragma once

#include <string>

#include "core/addin/addin_context.h"
#include "core/forms/form.h"

namespace pelorin {

class frmProxySettings : public forms::Form {
 public:
  explicit frmProxySettings(AddinContext& context);

 protected:
  void BuildControls() override;
  void OnLoad() override;

 private:
  void BuildAddressControls();
  void BuildButtons();
  void OnAddClick();
  void OnRemoveClick();
  // The first empty box with its message, or false when all are filled.
  bool RefuseFirstEmptyBox();
  bool AllBoxesFilled();

  AddinContext& context_;
};

}  // namespace pelorin
