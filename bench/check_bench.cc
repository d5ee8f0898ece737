// The check before a send over a whole workbook, stage by stage, beside the
// plain read of the same file: reading into the column store, merging every
// row, merging and counting segments, reading every number with
// libphonenumber, and the whole check. Prints rows per second for each and
// the process's peak memory. Run by bench/check_bench.sh.
//
// Usage: check_bench WORKBOOK [ROWS]   (mobile column B, template over A and C)
#include <sys/resource.h>
#include <time.h>

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

// Wall time and the process's CPU time: on a busy machine the second is
// what one core spends, whatever else runs.
struct Mark {
  std::chrono::steady_clock::time_point wall;
  double cpu;
};

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Mark Now() { return {std::chrono::steady_clock::now(), CpuSeconds()}; }

constexpr const char* kTemplate = "Dear |A|, your balance is Rs. |C| as of today. Thank you!";
constexpr std::int64_t kBlock = 4096;

void Report(const char* stage, std::int64_t rows, const Mark& since) {
  const Mark now = Now();
  const double wall = std::chrono::duration<double>(now.wall - since.wall).count();
  const double cpu = now.cpu - since.cpu;
  std::printf("%-32s wall %8.3f s  cpu %8.3f s  %11.0f rows per cpu-second\n", stage, wall, cpu,
              static_cast<double>(rows) / cpu);
  std::fflush(stdout);
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
  auto start = Now();
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
  Report("read into the column store", rows, start);

  start = Now();
  MergeOnly merged;
  VisitAll(sheet, rows, merged);
  Report("merge", rows, start);

  start = Now();
  MergeAndCount counted;
  VisitAll(sheet, rows, counted);
  Report("merge + segment count", rows, start);

  const pelorin::phonenumbers::LibPhoneNumbers numbers;
  std::vector<std::string_view> mobiles;
  sheet.ReadColumn("B", 1, rows, mobiles);
  start = Now();
  std::int64_t mobile = 0;
  for (std::string_view text : mobiles) {
    mobile += numbers.Read(text, "IN").kind == pelorin::NumberKind::kMobile;
  }
  Report("number checks (libphonenumber)", rows, start);

  pelorin::SendRequest request;
  request.message_template = kTemplate;
  request.mobile_column = "B";
  request.ranges = {{1, rows}};
  start = Now();
  const pelorin::SendCheckReport report =
      pelorin::SendCheck(numbers, "IN", nullptr).Run(sheet, request);
  Report("whole check", rows, start);

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
