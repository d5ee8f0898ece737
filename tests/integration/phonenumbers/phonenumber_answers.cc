// Prints libphonenumber's answers (parse result, E.164, international and
// national forms, type, validity) for a fixed set of generated texts in many
// regions, one line each. Built twice, against Debian's libphonenumber and
// against the one tools/build-libphonenumber.sh builds with RE2, so a test
// can hold the two regular-expression engines to the same answers.
//
// Usage: phonenumber_answers [COUNT]
#include <phonenumbers/logger.h>
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

constexpr std::array<const char*, 24> kRegions = {"IN", "US", "GB", "DE", "FR", "BR", "CN", "JP",
                                                  "AU", "NG", "AE", "ZA", "KE", "PK", "BD", "ID",
                                                  "MX", "RU", "IT", "ES", "CA", "SG", "AR", "ZZ"};

// What people put between digits, and what a number is cut off by.
constexpr std::array<const char*, 13> kSeparators = {
    " ", "-", ".", "(", ")", "/", "\u00a0", "\u2013", "~", "x", " ext. ", "#", ","};

// Mostly ASCII digits, sometimes others: the engines must agree on Unicode
// digit classes as well.
std::string Digit(std::mt19937& random) {
  const int digit = static_cast<int>(random() % 10);
  switch (random() % 16) {
    case 0: {  // full width, U+FF10..U+FF19
      std::string text = "\xef\xbc";
      text.push_back(static_cast<char>(0x90 + digit));
      return text;
    }
    case 1: {  // Arabic-Indic, U+0660..U+0669
      std::string text = "\xd9";
      text.push_back(static_cast<char>(0xa0 + digit));
      return text;
    }
    default:
      return std::string(1, static_cast<char>('0' + digit));
  }
}

std::string Text(std::mt19937& random) {
  static constexpr std::array<const char*, 10> kStarts = {"",   "",  "",      "+",      "+",
                                                          "00", "0", "tel:+", "\uff0b", "("};
  std::string text = kStarts[random() % kStarts.size()];
  const int length = 3 + static_cast<int>(random() % 14);
  for (int i = 0; i < length; ++i) {
    text += Digit(random);
    if (random() % 8 == 0) text += kSeparators[random() % kSeparators.size()];
  }
  switch (random() % 20) {
    case 0:
      text += " ext. 123";
      break;
    case 1:
      text += ";ext=42";
      break;
    case 2:
      text = "1-800-FLOWERS";
      break;
    case 3:
      text.insert(text.size() / 2, "ABC");
      break;
    default:
      break;
  }
  return text;
}

// A number of the region's own plan, from the library's example numbers with
// the last digits changed, written in one of the usual forms: most lists
// hold real numbers, and the type patterns are only reached by those.
std::string PlanNumber(std::mt19937& random, const std::string& region) {
  static constexpr std::array<PhoneNumberUtil::PhoneNumberType, 5> kTypes = {
      PhoneNumberUtil::MOBILE, PhoneNumberUtil::MOBILE, PhoneNumberUtil::FIXED_LINE,
      PhoneNumberUtil::TOLL_FREE, PhoneNumberUtil::PREMIUM_RATE};
  static constexpr std::array<PhoneNumberUtil::PhoneNumberFormat, 4> kForms = {
      PhoneNumberUtil::E164, PhoneNumberUtil::INTERNATIONAL, PhoneNumberUtil::NATIONAL,
      PhoneNumberUtil::RFC3966};
  const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
  PhoneNumber number;
  if (!util.GetExampleNumberForType(region, kTypes[random() % kTypes.size()], &number)) {
    return Text(random);
  }
  const std::uint64_t national = number.national_number();
  number.set_national_number(national - national % 1000 + random() % 1000);
  std::string text;
  util.Format(number, kForms[random() % kForms.size()], &text);
  if (random() % 4 == 0) text = text.substr(0, text.size() - 1);  // one digit short
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 20000;
  const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
  PhoneNumberUtil::GetInstance()->SetLogger(new i18n::phonenumbers::NullLogger());
  std::mt19937 random(20261210);
  for (long i = 0; i < count; ++i) {
    const std::string region = kRegions[random() % kRegions.size()];
    const std::string text = random() % 2 ? PlanNumber(random, region) : Text(random);
    std::printf("%s\t%s\t", region.c_str(), text.c_str());
    PhoneNumber number;
    if (const auto error = util.Parse(text, region, &number);
        error != PhoneNumberUtil::NO_PARSING_ERROR) {
      std::printf("error %d\n", static_cast<int>(error));
      continue;
    }
    std::string e164, international, national;
    util.Format(number, PhoneNumberUtil::E164, &e164);
    util.Format(number, PhoneNumberUtil::INTERNATIONAL, &international);
    util.Format(number, PhoneNumberUtil::NATIONAL, &national);
    std::printf("%s\t%s\t%s\ttype %d valid %d possible %d\n", e164.c_str(), international.c_str(),
                national.c_str(), static_cast<int>(util.GetNumberType(number)),
                util.IsValidNumber(number), util.IsPossibleNumber(number));
  }
  return 0;
}
