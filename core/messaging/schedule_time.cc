#include "core/messaging/schedule_time.h"

#include <tuple>

namespace pelorin {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysIn(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

auto Key(const LocalDateTime& t) {
  return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

}  // namespace

bool IsRealDateTime(const LocalDateTime& when) {
  return when.year >= 1 && when.month >= 1 && when.month <= 12 && when.day >= 1 &&
         when.day <= DaysIn(when.year, when.month) && when.hour >= 0 && when.hour <= 23 &&
         when.minute >= 0 && when.minute <= 59 && when.second >= 0 && when.second <= 59;
}

bool IsLater(const LocalDateTime& when, const LocalDateTime& now) { return Key(when) > Key(now); }

}  // namespace pelorin
