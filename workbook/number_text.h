// Cell values turned into text the way a spreadsheet's default conversion
// shows them: numbers in general form, serial dates in an ISO-like form.
#pragma once

#include <string>
#include <string_view>

namespace pelorin::workbook {

// Up to 15 significant digits, no trailing zeros, plain decimals for any
// magnitude from 1E-9 up to 15 integer digits ("919876543210", "0.001"),
// exponent form beyond ("1E+20", "1.5E-10").
std::string GeneralNumberText(double value);

// A number as written in a file ("1.5", "3.0000000000000004E-2") in general
// form; text that is not a number is kept as it is.
std::string GeneralNumberText(std::string_view stored);
// True when GeneralNumberText(stored) is `stored` itself ("42", "0.5"),
// so a caller may use the text as it is.
bool IsGeneralNumberText(std::string_view stored);

// What a number format shows a serial number as.
enum class DateKind { kNone, kDate, kTime, kDateTime };

// Which of the above a number format code ("yyyy-mm-dd", "h:mm", "0.00")
// shows; quoted text, escaped characters and colour or locale tags are
// ignored, elapsed-time tags like [h] count as time.
DateKind ClassifyNumberFormat(std::string_view format_code);

// The kind shown by one of the built-in number format ids (14-22, 45-47).
DateKind BuiltInFormatKind(int format_id);

// A serial day number (days since 1899-12-30, with the 1900 leap-year
// quirk, or since 1904-01-01) as "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or
// "HH:MM:SS"; seconds are rounded. Falls back to general number text for
// a serial outside years 1900..9999.
std::string SerialDateText(double serial, DateKind kind, bool date1904 = false);

// An ISO 8601 date or date-time ("2024-01-05", "2024-01-05T13:45:00.5")
// as "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS"; text it cannot read is kept.
std::string IsoDateTimeText(std::string_view iso);

// An ISO 8601 duration as used for time cells ("PT13H45M00S",
// "PT36H00M00.25S") as "HH:MM:SS"; text it cannot read is kept.
std::string IsoDurationText(std::string_view duration);

}  // namespace pelorin::workbook
