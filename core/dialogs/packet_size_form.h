// The packet size dialog (frmPacketSize): sets the number of rows per upload
// packet, or clears it so that the send run's default applies.
//
// Driving it from a host or the command line: Load() puts the stored value
// into the box; Type("txtPacketSize", "1500") fills it through the key
// filters, SetText("txtPacketSize", ...) as pasted (empty for the default);
// then Click("btnAddPackSize") or Click("btnPackCancel"). Message boxes tell
// the outcome; visible() turns false when the dialog closed itself.
//
// Controls by name: lblCaption, lblPort, txtPacketSize, btnAddPackSize,
// btnPackCancel.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/addin/addin_context.h"
#include "core/forms/form.h"

namespace pelorin {

inline constexpr std::int32_t kMinimumPacketSize = 500;

// The box text as a 32-bit signed whole number, spaces around it ignored;
// throws std::invalid_argument ("Type mismatch: ...") for text that is not a
// number and std::out_of_range ("Overflow: ...") beyond 32 bits.
std::int32_t PacketSizeValue(std::string_view text);

class frmPacketSize : public forms::Form {
 public:
  explicit frmPacketSize(AddinContext& context);

 protected:
  void BuildControls() override;
  void OnLoad() override;

 private:
  void OnSubmitClick();
  void SubmitValue();
  void SubmitEmpty();

  AddinContext& context_;
};

}  // namespace pelorin
