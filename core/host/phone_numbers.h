// Telephone numbers as the numbering plans of the world read them: whether a
// text is a valid mobile number, and its one international (E.164) form.
// A host backs it with a numbering-plan library; tests with a fake.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

enum class NumberKind {
  kNotANumber,  // nothing a telephone number could be read from
  kInvalid,     // read, but no number of its country looks like it
  kNotMobile,   // a valid number of another type (fixed line, toll free...)
  kMobile,      // a valid number that reaches a mobile (or may, where plans cannot tell)
};

struct NumberReading {
  NumberKind kind = NumberKind::kNotANumber;
  std::string e164;  // "+919876543210"; empty for kNotANumber
};

class PhoneNumbers {
 public:
  virtual ~PhoneNumbers() = default;

  // Reads `text` as dialled in `region`, an ISO 3166 code such as "IN": a
  // number without a country code belongs to that region.
  virtual NumberReading Read(std::string_view text, std::string_view region) const = 0;

  // True for a region code whose numbering plan is known.
  virtual bool IsKnownRegion(std::string_view region) const = 0;
};

}  // namespace pelorin
