// The check before a send over a whole workbook, stage by stage, beside the
// plain read of the same file: reading into the column store, merging every
// row, merging and counting segments, reading every number with
// libphonenumber, and the whole check. Prints rows per second for each and
// the process's peak memory. Run by bench/check_bench.sh.
//
// Usage: check_bench WORKBOOK [ROWS]   (mobile column B, template over A and C)
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "core/messaging/message_merge.h"
#include "core/messaging/message_segments.h"
#include "core/messaging/send_check.h"
#include "platform/phonenumbers/lib_phone_numbers.h"
#include "workbook/workbook.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kTemplate = "Dear |A|, your balance is Rs. |C| as of today. Thank you!";
constexpr std::int64_t kBlock = 4096;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void Report(const char* stage, std::int64_t rows, double seconds) {
  std::printf("%-34s %8.3f s  %12.0f rows/s\n", stage, seconds, rows / seconds);
}

// Merges every row; does nothing else with it.
struct MergeOnly : pelorin::MergedRowVisitor {
  void OnMessage(std::int64_t, std::string_view, std::string_view message) override {
    bytes += message.size();
  }
  void OnEmptyRow(std::int64_t) override {}
  std::size_t bytes = 0;
};

// Merges every row and counts its segments.
struct MergeAndCount : pelorin::MergedRowVisitor {
  void OnMessage(std::int64_t, std::string_view, std::string_view message) override {
    segments += pelorin::CountSegments(message).segments;
  }
  void OnEmptyRow(std::int64_t) override {}
  std::int64_t segments = 0;
};

template <typename Visitor>
void VisitAll(const pelorin::Worksheet& sheet, std::int64_t rows, Visitor& visitor) {
  pelorin::MessageMerge merge(sheet, "B", pelorin::MessageTemplate(kTemplate));
  std::int64_t empty = 0;
  for (std::int64_t first = 1; first <= rows; first += kBlock) {
    merge.VisitRows({first, std::min(rows, first + kBlock - 1)}, empty, visitor);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: check_bench WORKBOOK [ROWS]\n");
    return 2;
  }
  auto start = Clock::now();
  pelorin::workbook::ReadOptions options;
  options.columns = {1, 2, 3};
  std::unique_ptr<pelorin::workbook::Workbook> book;
  try {
    book = pelorin::workbook::OpenWorkbook(argv[1], options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "check_bench: %s\n", error.what());
    return 2;
  }
  const pelorin::Worksheet& sheet = book->sheet(book->active_sheet());
  const std::int64_t rows = argc > 2 ? std::stoll(argv[2]) : book->sheets()[0].used_rows;
  Report("read into the column store", rows, Seconds(start));

  start = Clock::now();
  MergeOnly merged;
  VisitAll(sheet, rows, merged);
  Report("merge", rows, Seconds(start));

  start = Clock::now();
  MergeAndCount counted;
  VisitAll(sheet, rows, counted);
  Report("merge + segment count", rows, Seconds(start));

  const pelorin::phonenumbers::LibPhoneNumbers numbers;
  std::vector<std::string_view> mobiles;
  sheet.ReadColumn("B", 1, rows, mobiles);
  start = Clock::now();
  std::int64_t mobile = 0;
  for (std::string_view text : mobiles) {
    mobile += numbers.Read(text, "IN").kind == pelorin::NumberKind::kMobile;
  }
  Report("number checks (libphonenumber)", rows, Seconds(start));

  pelorin::SendRequest request;
  request.message_template = kTemplate;
  request.mobile_column = "B";
  request.ranges = {{1, rows}};
  start = Clock::now();
  const pelorin::SendCheckReport report =
      pelorin::SendCheck(numbers, "IN", nullptr).Run(sheet, request);
  Report("whole check", rows, Seconds(start));

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("messages %lld, segments %lld (counted %lld), mobiles %lld, invalid %zu, "
              "duplicates %zu, merged bytes %zu\n",
              static_cast<long long>(report.messages), static_cast<long long>(report.segments),
              static_cast<long long>(counted.segments), static_cast<long long>(mobile),
              report.invalid.size(), report.duplicates.size(), merged.bytes);
  std::printf("peak memory %ld MiB\n", usage.ru_maxrss / 1024);
  return 0;
}
