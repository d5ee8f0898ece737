// The date and time half of number_text.h: serial numbers, ISO dates and
// durations, and telling date formats from the others.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "workbook/number_text.h"

namespace pelorin::workbook {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2;
  std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  std::int64_t year_of_era = year - era * 400;
  std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

struct Civil {
  std::int64_t year;
  int month;
  int day;
};

Civil CivilFromDays(std::int64_t days) {
  days += 719468;
  std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  std::int64_t day_of_era = days - era * 146097;
  std::int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  std::int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  std::int64_t mp = (5 * day_of_year + 2) / 153;
  int day = static_cast<int>(day_of_year - (153 * mp + 2) / 5 + 1);
  int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {year_of_era + era * 400 + (month <= 2), month, day};
}

std::string DateText(const Civil& date) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02d", static_cast<long long>(date.year),
                date.month, date.day);
  return buffer;
}

std::string ClockText(std::int64_t seconds) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%02lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return buffer;
}

std::string DateTimeText(std::int64_t unix_days, std::int64_t seconds_of_day, DateKind kind) {
  if (kind == DateKind::kDate) return DateText(CivilFromDays(unix_days));
  return DateText(CivilFromDays(unix_days)) + " " + ClockText(seconds_of_day);
}

// Reads an unsigned decimal of exactly `width` digits (any width when 0).
bool ReadNumber(std::string_view& text, int width, std::int64_t& value) {
  std::size_t length = 0;
  while (length < text.size() && std::isdigit(static_cast<unsigned char>(text[length])) &&
         (width == 0 || length < static_cast<std::size_t>(width)) && length < 12) {
    ++length;
  }
  if (length == 0 || (width != 0 && length != static_cast<std::size_t>(width))) return false;
  value = std::stoll(std::string(text.substr(0, length)));
  text.remove_prefix(length);
  return true;
}

bool Expect(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

// Seconds with an optional fraction ("05", "05.25").
bool ReadSeconds(std::string_view& text, double& seconds) {
  std::int64_t whole = 0;
  if (!ReadNumber(text, 0, whole)) return false;
  seconds = static_cast<double>(whole);
  if (!text.empty() && text.front() == '.') {
    text.remove_prefix(1);
    double scale = 0.1;
    while (!text.empty() && std::isdigit(static_cast<unsigned char>(text.front()))) {
      seconds += (text.front() - '0') * scale;
      scale /= 10;
      text.remove_prefix(1);
    }
  }
  return true;
}

bool IsElapsedTag(std::string_view tag) {
  if (tag.empty()) return false;
  char first = static_cast<char>(std::tolower(static_cast<unsigned char>(tag.front())));
  if (first != 'h' && first != 'm' && first != 's') return false;
  for (char c : tag) {
    if (std::tolower(static_cast<unsigned char>(c)) != first) return false;
  }
  return true;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

DateKind BuiltInFormatKind(int id) {
  if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || (id >= 34 && id <= 36) ||
      (id >= 50 && id <= 58)) {
    return DateKind::kDate;
  }
  if ((id >= 18 && id <= 21) || (id >= 32 && id <= 33) || (id >= 45 && id <= 47)) {
    return DateKind::kTime;
  }
  if (id == 22) return DateKind::kDateTime;
  return DateKind::kNone;
}

DateKind ClassifyNumberFormat(std::string_view code) {
  bool year_or_day = false, month_or_minute = false, hour_or_second = false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(code[i])));
    if (c == ';') break;  // the first section decides
    if (c == '"') {
      std::size_t close = code.find('"', i + 1);
      if (close == std::string_view::npos) break;
      i = close;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;  // the next character is literal or padding
    } else if (c == '[') {
      std::size_t close = code.find(']', i + 1);
      if (close == std::string_view::npos) break;
      if (IsElapsedTag(code.substr(i + 1, close - i - 1))) hour_or_second = true;
      i = close;
    } else if (c == 'y' || c == 'd') {
      year_or_day = true;
    } else if (c == 'm') {
      month_or_minute = true;
    } else if (c == 'h' || c == 's') {
      hour_or_second = true;
    } else if (c == 'a' && Lower(code.substr(i, 5)) == "am/pm") {
      hour_or_second = true;
      i += 4;
    } else if (c == 'a' && Lower(code.substr(i, 3)) == "a/p") {
      hour_or_second = true;
      i += 2;
    }
  }
  bool date = year_or_day || (month_or_minute && !hour_or_second);
  if (date && hour_or_second) return DateKind::kDateTime;
  if (date) return DateKind::kDate;
  if (hour_or_second) return DateKind::kTime;
  return DateKind::kNone;
}

std::string SerialDateText(double serial, DateKind kind, bool date1904) {
  if (kind == DateKind::kNone || !std::isfinite(serial) || serial < 0 || serial > 2958466) {
    return GeneralNumberText(serial);
  }
  auto total = static_cast<std::int64_t>(std::llround(serial * kSecondsPerDay));
  std::int64_t day = total / kSecondsPerDay;
  std::int64_t seconds = total % kSecondsPerDay;
  if (kind == DateKind::kTime && day == 0) return ClockText(seconds);
  if (kind == DateKind::kTime) kind = DateKind::kDateTime;
  if (!date1904 && day == 60) {
    // The 1900 system counts a 29 February 1900 that never was.
    return kind == DateKind::kDate ? "1900-02-29" : "1900-02-29 " + ClockText(seconds);
  }
  std::int64_t base = date1904 ? DaysFromCivil(1904, 1, 1)
                               : DaysFromCivil(1899, 12, day < 60 ? 31 : 30);
  std::int64_t unix_days = base + day;
  if (CivilFromDays(unix_days).year > 9999) return GeneralNumberText(serial);
  return DateTimeText(unix_days, seconds, kind);
}

std::string IsoDateTimeText(std::string_view iso) {
  std::string_view rest = iso;
  std::int64_t year = 0, month = 0, day = 0;
  bool negative = Expect(rest, '-');
  if (!ReadNumber(rest, 0, year) || !Expect(rest, '-') || !ReadNumber(rest, 2, month) ||
      !Expect(rest, '-') || !ReadNumber(rest, 2, day) || month < 1 || month > 12 || day < 1 ||
      day > 31 || negative || year > 9999) {
    return std::string(iso);  // beyond year 9999 no spreadsheet shows a date
  }
  std::int64_t days = DaysFromCivil(year, static_cast<int>(month), static_cast<int>(day));
  if (rest.empty()) return DateText(CivilFromDays(days));
  std::int64_t hour = 0, minute = 0;
  double second = 0;
  if (!Expect(rest, 'T') || !ReadNumber(rest, 2, hour) || !Expect(rest, ':') ||
      !ReadNumber(rest, 2, minute) || !Expect(rest, ':') || !ReadSeconds(rest, second)) {
    return std::string(iso);
  }
  // A zone suffix ("Z", "+02:00") is left as written: cells hold local time.
  std::int64_t total = days * kSecondsPerDay + hour * 3600 + minute * 60 + std::llround(second);
  std::int64_t whole_days = total >= 0 ? total / kSecondsPerDay : (total - kSecondsPerDay + 1) / kSecondsPerDay;
  return DateTimeText(whole_days, total - whole_days * kSecondsPerDay, DateKind::kDateTime);
}

std::string IsoDurationText(std::string_view duration) {
  std::string_view rest = duration;
  bool negative = Expect(rest, '-');
  if (!Expect(rest, 'P')) return std::string(duration);
  double total = 0;
  bool in_time = false;
  while (!rest.empty()) {
    if (Expect(rest, 'T')) {
      in_time = true;
      continue;
    }
    double amount = 0;
    if (!ReadSeconds(rest, amount) || rest.empty()) return std::string(duration);
    char unit = rest.front();
    rest.remove_prefix(1);
    if (unit == 'D' && !in_time) {
      total += amount * kSecondsPerDay;
    } else if (unit == 'H' && in_time) {
      total += amount * 3600;
    } else if (unit == 'M' && in_time) {
      total += amount * 60;
    } else if (unit == 'S' && in_time) {
      total += amount;
    } else {
      return std::string(duration);
    }
  }
  if (total > 1e12) return std::string(duration);
  std::string text = ClockText(std::llround(total));
  return negative ? "-" + text : text;
}

}  // namespace pelorin::workbook
