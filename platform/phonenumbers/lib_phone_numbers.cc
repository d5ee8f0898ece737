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

// Region codes are letters, so a NUL keeps "IN" + text apart from any other pair.
std::string ReadingKey(std::string_view text, std::string_view region) {
  std::string key;
  key.reserve(region.size() + 1 + text.size());
  key.append(region).push_back('\0');
  key.append(text);
  return key;
}

// A full map is emptied and set up at its full size at once: on a long list
// of distinct numbers, growing it step by step cost more than the lookups.
template <typename Map, typename Value>
void Remember(Map& map, std::size_t limit, std::string key, Value value) {
  if (map.size() >= limit) map = Map();
  if (map.empty()) map.reserve(limit);
  map.emplace(std::move(key), std::move(value));
}

}  // namespace

LibPhoneNumbers::LibPhoneNumbers(std::size_t cache_entries)
    : cache_entries_(cache_entries == 0 ? 1 : cache_entries) {
  // The library takes the logger over; one for the whole process is enough.
  static const bool silenced = [] {
    PhoneNumberUtil::GetInstance()->SetLogger(new i18n::phonenumbers::NullLogger());
    return true;
  }();
  (void)silenced;
}

NumberReading LibPhoneNumbers::Read(std::string_view text, std::string_view region) const {
  std::string key = ReadingKey(text, region);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (auto found = readings_.find(key); found != readings_.end()) return found->second;
  }
  const PhoneNumberUtil& util = Util();
  NumberReading reading;
  PhoneNumber number;
  if (util.Parse(std::string(text), std::string(region), &number) !=
      PhoneNumberUtil::NO_PARSING_ERROR) {
    std::lock_guard<std::mutex> lock(mutex_);
    Remember(readings_, cache_entries_, std::move(key), reading);
    return reading;
  }
  util.Format(number, PhoneNumberUtil::E164, &reading.e164);
  bool typed = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (auto found = kinds_.find(reading.e164); found != kinds_.end()) {
      reading.kind = found->second;
      typed = true;
    }
  }
  // The type is UNKNOWN exactly for a number the plan does not hold, so it
  // answers validity too.
  if (!typed) reading.kind = KindOf(util.GetNumberType(number));
  std::lock_guard<std::mutex> lock(mutex_);
  if (!typed) Remember(kinds_, cache_entries_, reading.e164, reading.kind);
  Remember(readings_, cache_entries_, std::move(key), reading);
  return reading;
}

bool LibPhoneNumbers::IsKnownRegion(std::string_view region) const {
  return Util().GetCountryCodeForRegion(std::string(region)) != 0;
}

}  // namespace pelorin::phonenumbers
