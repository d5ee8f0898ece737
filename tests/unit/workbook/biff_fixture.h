// Builders for the binary parts of Excel 97-2003 workbooks in tests:
// BIFF records and a compound file holding streams.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pelorin::workbook::testing {

std::string Le16(std::uint16_t value);
std::string Le32(std::uint32_t value);
std::string LeDouble(double value);

// A record: type, 16-bit length, body.
std::string Record(std::uint16_t type, const std::string& body);
// A BOF record for BIFF8: 0x0005 the workbook globals, 0x0010 a worksheet.
std::string Bof(std::uint16_t kind);
// A BIFF8 string body: 16-bit (or 8-bit, `short_length`) count, option
// byte, then Latin-1 bytes or UTF-16LE units.
std::string Biff8String(const std::u16string& text, bool short_length = false);

// A workbook stream: the globals (formats: 164 "dd/mm/yyyy", 165 "0.000";
// cell formats 0-5 using formats 0, 14, 164, 22, 21, 165; the extra records
// given) and each sheet's records, the sheet offsets filled in.
std::string Stream(const std::string& extra_globals,
                   const std::vector<std::pair<std::u16string, std::string>>& sheets);

// A compound file (512-byte sectors) holding the named streams; streams
// under 4096 bytes go into the small-stream container, as writers do.
std::string CompoundFileOf(const std::vector<std::pair<std::string, std::string>>& streams);

}  // namespace pelorin::workbook::testing
