// libphonenumber alone, without Pelorin's answer caches: parse, number type
// and E.164 form of COUNT distinct numbers read in India (three in four valid
// mobile numbers written as lists write them, one in four invalid). Built
// against Debian's library and against the RE2 build of
// tools/build-libphonenumber.sh; bench/check_bench.sh runs both.
//
// Usage: libphonenumber_bench [COUNT]     (default 1,000,000)
#include <phonenumbers/logger.h>
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::vector<std::string> Numbers(long count) {
  std::vector<std::string> numbers;
  numbers.reserve(count);
  char text[32];
  for (long i = 0; i < count; ++i) {
    switch (i % 4) {
      case 0:
        std::snprintf(text, sizeof text, "91%010ld", 9800000000L + i);
        break;
      case 1:
        std::snprintf(text, sizeof text, "+91 %05ld %05ld", 70000 + (i / 100000) % 30000,
                      i % 100000);
        break;
      case 2:
        std::snprintf(text, sizeof text, "0%010ld", 6000000000L + 3 * i);
        break;
      default:
        std::snprintf(text, sizeof text, "91%010ld", 1000000000L + 7 * i);
        break;
    }
    numbers.emplace_back(text);
  }
  return numbers;
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
  PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
  util.SetLogger(new i18n::phonenumbers::NullLogger());
  const std::vector<std::string> numbers = Numbers(count);
  long mobile = 0;
  long invalid = 0;
  std::string e164;
  const double start = CpuSeconds();
  for (const std::string& text : numbers) {
    PhoneNumber number;
    if (util.Parse(text, "IN", &number) != PhoneNumberUtil::NO_PARSING_ERROR) {
      ++invalid;
      continue;
    }
    util.Format(number, PhoneNumberUtil::E164, &e164);
    const PhoneNumberUtil::PhoneNumberType type = util.GetNumberType(number);
    mobile += type == PhoneNumberUtil::MOBILE || type == PhoneNumberUtil::FIXED_LINE_OR_MOBILE;
    invalid += type == PhoneNumberUtil::UNKNOWN;
  }
  const double cpu = CpuSeconds() - start;
  std::printf("%ld numbers (%ld mobile, %ld invalid): cpu %.3f s, %.0f per cpu-second\n", count,
              mobile, invalid, cpu, static_cast<double>(count) / cpu);
  return 0;
}
