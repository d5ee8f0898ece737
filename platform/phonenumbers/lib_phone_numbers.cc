#include "platform/phonenumbers/lib_phone_numbers.h"

#include <phonenumbers/logger.h>
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>

#include <string>

namespace pelorin::phonenumbers {
namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

const PhoneNumberUtil& Util() { return *PhoneNumberUtil::GetInstance(); }

NumberKind KindOf(PhoneNumberUtil::PhoneNumberType type) {
  switch (type) {
    case PhoneNumberUtil::MOBILE:
    case PhoneNumberUtil::FIXED_LINE_OR_MOBILE:  // plans that do not tell them apart
      return NumberKind::kMobile;
    case PhoneNumberUtil::UNKNOWN:
      return NumberKind::kInvalid;
    default:
      return NumberKind::kNotMobile;
  }
}

}  // namespace

LibPhoneNumbers::LibPhoneNumbers() {
  // The library takes the logger over; one for the whole process is enough.
  static const bool silenced = [] {
    PhoneNumberUtil::GetInstance()->SetLogger(new i18n::phonenumbers::NullLogger());
    return true;
  }();
  (void)silenced;
}

NumberReading LibPhoneNumbers::Read(std::string_view text, std::string_view region) const {
  const PhoneNumberUtil& util = Util();
  PhoneNumber number;
  if (util.Parse(std::string(text), std::string(region), &number) !=
      PhoneNumberUtil::NO_PARSING_ERROR) {
    return {};
  }
  NumberReading reading;
  util.Format(number, PhoneNumberUtil::E164, &reading.e164);
  // The type is UNKNOWN exactly for a number the plan does not hold, so it
  // answers validity too.
  reading.kind = KindOf(util.GetNumberType(number));
  return reading;
}

bool LibPhoneNumbers::IsKnownRegion(std::string_view region) const {
  return Util().GetCountryCodeForRegion(std::string(region)) != 0;
}

}  // namespace pelorin::phonenumbers
