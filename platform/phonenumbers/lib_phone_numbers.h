// PhoneNumbers backed by libphonenumber's numbering-plan data: parsing,
// validity and number type are all the library's.
#pragma once

#include "core/host/phone_numbers.h"

namespace pelorin::phonenumbers {

class LibPhoneNumbers : public PhoneNumbers {
 public:
  // Silences the library's own log lines: a number that does not parse is
  // an answer here, not an event.
  LibPhoneNumbers();

  NumberReading Read(std::string_view text, std::string_view region) const override;
  bool IsKnownRegion(std::string_view region) const override;
};

}  // namespace pelorin::phonenumbers
