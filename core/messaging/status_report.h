// The words of a send run and the texts its reports add to the status
// window: progress, completion and failure of every packet.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pelorin {

class frmPopup;

namespace compose {
// Packet states sent with every upload.
inline constexpr std::string_view kStart = "START";  // more packets of the run follow
inline constexpr std::string_view kEnd = "END";      // the run's last packet
inline constexpr std::string_view kAll = "ALL";      // the one packet of a simple range
// The service's replies that mean something; any other reply is a failure.
inline constexpr std::string_view kSuccess = "Error : 0 - SUCCESS.";
inline constexpr std::string_view kTimedOut = "Error : -1 - Operation Timed Out.";
// The run's own words, reported in place of a reply.
inline constexpr std::string_view kOutOfRange = "Out_Of_Range";
inline constexpr std::string_view kFailed = "-1";
}  // namespace compose

inline constexpr std::string_view kLineBreak = "\r\n";

struct PacketReport {
  std::string_view response;   // a reply, or one of the run's own words
  std::int64_t processed = 0;  // rows so far, empty ones included
  std::int64_t total = 0;      // rows of the range
  std::int64_t empty_rows = 0;
  std::string_view state;
};

// Appends the outcome of a packet to `status`; answers true when the report
// ends the run (Close becomes enabled). A failure is added on a line of its
// own after what is shown: nothing already reported is lost.
bool AppendPacketResult(std::string& status, const PacketReport& report);
// The same for the empty packet that closes a range ended on a packet
// boundary.
bool AppendClosingResult(std::string& status, const PacketReport& report);

// The report, then the whole text into the window, Close enabled when the
// run ended, and the window repainted.
void ShowPacketResult(frmPopup& window, std::string& status, const PacketReport& report);
void ShowClosingResult(frmPopup& window, std::string& status, const PacketReport& report);

// Adds a line break unless the text is empty or already ends with one.
void StartNewLine(std::string& status);

}  // namespace pelorin
